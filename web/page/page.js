// The calculator page: the catalogue as controls, a quote after every change, and the request form.
(function () {
  'use strict';
  var catalogue = null;
  var pending = 0;
  // Taking the old controls away fires their change events: no quote until the new ones stand.
  var building = false;
  var byId = function (id) { return document.getElementById(id); };

  // A decimal string from the API ("13200.00", "0.5625") as the counter writes it: digit groups
  // apart by a no-break space, a comma, no ",00". Read as text: a float would lose kopecks.
  function amount(text) {
    var parts = String(text).split('.');
    var whole = parts[0].replace(/\B(?=(\d{3})+$)/g, '\u00a0');
    var fraction = (parts[1] || '').replace(/0+$/, '');
    if (fraction.length === 1) fraction += '0';
    return fraction ? whole + ',' + fraction : whole;
  }

  function money(text) {
    return amount(text) + ' ₽';
  }

  // How VAT enters the total: within it, on top of it, or not at all.
  function taxText(tax) {
    if (!tax || tax.mode === 'none') return '';
    var rate = 'НДС ' + tax.rate + ' %';
    if (tax.mode === 'included') return 'в т.ч. ' + rate + ': ' + money(tax.amount);
    return '+ ' + rate + ': ' + money(tax.amount) + ', всего ' + money(tax.total);
  }

  function element(tag, attributes, text) {
    var node = document.createElement(tag);
    Object.keys(attributes || {}).forEach(function (name) { node.setAttribute(name, attributes[name]); });
    if (text !== undefined) node.textContent = text;
    return node;
  }

  function currentPage() {
    var id = byId('page').value;
    return catalogue.pages.filter(function (page) { return page.id === id; })[0];
  }

  function showPage() {
    building = true;
    var page = currentPage();
    var groups = byId('groups');
    var fields = byId('fields');
    groups.textContent = '';
    fields.textContent = '';
    page.groups.forEach(function (group) {
      var set = element('fieldset', { 'data-group': group.id });
      set.appendChild(element('legend', {}, group.title));
      var choices = element('div', { class: 'choices' });
      // A group that starts with nothing chosen can be set back to nothing.
      var options = group.options;
      if (!group.multiple && !options.some(function (option) { return option.checked; }))
        options = [{ id: '', caption: 'не нужно', checked: true }].concat(options);
      options.forEach(function (option) {
        var row = element('div', { class: 'option' });
        var key = option.id || group.id + '-none';
        var input = element('input', { type: group.multiple ? 'checkbox' : 'radio', id: 'o-' + key,
                                        name: group.id, value: option.id });
        if (option.checked) input.checked = true;
        row.appendChild(input);
        row.appendChild(element('label', { for: 'o-' + key }, option.caption));
        choices.appendChild(row);
      });
      set.appendChild(choices);
      groups.appendChild(set);
    });
    var box = element('div', { class: 'fields' });
    page.fields.forEach(function (field) {
      var wrap = element('div');
      wrap.appendChild(element('label', { for: 'f-' + field.id }, field.title));
      var input = element('input', { type: 'number', id: 'f-' + field.id, name: field.id, min: field.min,
                                      max: field.max, step: 1, inputmode: 'numeric' });
      if (field.default !== null && field.default !== undefined) input.value = field.default;
      wrap.appendChild(input);
      box.appendChild(wrap);
    });
    fields.appendChild(box);
    building = false;
    showPictures();
    quote();
  }

  // The samples of the chosen material, as the counter's gallery shows them.
  function showPictures() {
    var gallery = byId('gallery');
    gallery.textContent = '';
    currentPage().groups.forEach(function (group) {
      group.options.forEach(function (option) {
        var input = byId('o-' + option.id);
        if (!option.pictures || !input || !input.checked) return;
        option.pictures.forEach(function (url, index) {
          var figure = element('figure');
          // Relative to the page, so that the page works under a proxy's path too.
          figure.appendChild(element('img', { src: url.replace(/^\//, ''), loading: 'lazy', width: 160, height: 120,
                                              alt: option.caption + ', образец ' + (index + 1) }));
          gallery.appendChild(figure);
        });
      });
    });
    gallery.hidden = !gallery.firstChild;
  }

  function job() {
    var page = currentPage();
    var options = [];
    document.querySelectorAll('#groups input:checked').forEach(function (input) {
      if (input.value) options.push(input.value);
    });
    var fields = {};
    page.fields.forEach(function (field) {
      var value = byId('f-' + field.id).value;
      if (value !== '') fields[field.id] = Number(value);
    });
    return { page: page.id, options: options, fields: fields };
  }

  function post(path, body) {
    return fetch(path, { method: 'POST', headers: { 'Content-Type': 'application/json' }, body: JSON.stringify(body) })
      .then(function (response) {
        return response.json().then(function (data) {
          if (!response.ok) throw new Error(data.error || ('Ошибка ' + response.status));
          return data;
        });
      });
  }

  function quote() {
    if (building) return;
    var asked = ++pending;
    post('api/v1/quote', job()).then(function (answer) {
      if (asked !== pending) return;
      var body = document.querySelector('#lines tbody');
      body.textContent = '';
      var missing = false;
      answer.lines.forEach(function (line) {
        var row = element('tr');
        // In words, as the customer's documents name the line.
        row.appendChild(element('td', { class: 'description' }, line.wording || line.description));
        row.appendChild(element('td', { class: 'number' }, line.quantity));
        // A price the shop has not set yet is told at the confirmation, never guessed here.
        var unpriced = line.samplePrice;
        row.appendChild(element('td', { class: 'number' }, unpriced ? '' : amount(line.unitPrice)));
        row.appendChild(element('td', { class: 'number' }, unpriced ? 'цена уточняется' : money(line.sum)));
        body.appendChild(row);
        missing = missing || line.missingPrice;
      });
      byId('total').textContent = money(answer.total);
      var tax = taxText(answer.tax);
      byId('tax').textContent = tax;
      byId('tax').hidden = !tax;
      // The bar tells what is to pay, the tax on top included.
      byId('barTotal').textContent = money(answer.tax ? answer.tax.total : answer.total);
      byId('missing').hidden = !missing;
      byId('answer').hidden = false;
      byId('status').textContent = '';
      byId('status').className = '';
    }).catch(function (error) {
      if (asked !== pending) return;
      byId('status').textContent = error.message;
      byId('status').className = 'error';
    });
  }

  // "31.12.2026" as the API's "2026-12-31"; null for what is not a date so written.
  function isoDate(text) {
    var parts = /^\s*(\d{1,2})\.(\d{1,2})\.(\d{4})\s*$/.exec(text);
    if (!parts) return null;
    var pad = function (value) { return value.length === 1 ? '0' + value : value; };
    return parts[3] + '-' + pad(parts[2]) + '-' + pad(parts[1]);
  }

  function send(event) {
    event.preventDefault();
    var typed = byId('due').value.trim();
    var due = typed ? isoDate(typed) : '';
    if (due === null) {
      byId('sent').textContent = 'Дата пишется как ДД.ММ.ГГГГ, например 25.12.2026.';
      byId('sent').className = 'error';
      byId('due').focus();
      return;
    }
    var request = {
      contact: { name: byId('name').value, phone: byId('phone').value, email: byId('email').value },
      jobs: [job()], comment: byId('comment').value, due: due
    };
    byId('send').disabled = true;
    byId('sent').className = '';
    post('api/v1/requests', request).then(function (answer) {
      byId('sent').textContent = 'Заявка № ' + answer.number + ' принята. Мы свяжемся с вами.';
    }).catch(function (error) {
      byId('sent').textContent = error.message;
      byId('sent').className = 'error';
    }).then(function () { byId('send').disabled = false; });
  }

  // Who the page is: the shop's name, address, phone and hours from its settings.
  function showShop(shop) {
    var footer = byId('shop');
    footer.textContent = '';
    if (shop.name) footer.appendChild(element('p', { class: 'shop-name' }, shop.name));
    if (shop.address) footer.appendChild(element('p', {}, shop.address));
    if (shop.phone) {
      var line = element('p', {}, 'Телефон: ');
      line.appendChild(element('a', { href: 'tel:' + shop.phone.replace(/[^+\d]/g, '') }, shop.phone));
      footer.appendChild(line);
    }
    if (shop.hours) footer.appendChild(element('p', {}, 'Часы работы: ' + shop.hours));
    footer.hidden = !footer.firstChild;
  }

  fetch('api/v1/catalogue').then(function (response) { return response.json(); }).then(function (data) {
    catalogue = data;
    showShop(data.shop || {});
    var select = byId('page');
    data.pages.forEach(function (page) { select.appendChild(element('option', { value: page.id }, page.title)); });
    select.addEventListener('change', showPage);
    byId('calculator').addEventListener('change', function (event) {
      if (event.target === select) return;
      showPictures();
      quote();
    });
    byId('calculator').addEventListener('input', function (event) { if (event.target.type === 'number') quote(); });
    byId('request').addEventListener('submit', send);
    byId('calculator').hidden = false;
    byId('request').hidden = false;
    byId('status').textContent = '';
    showPage();
  }).catch(function () {
    byId('status').textContent = 'Не удалось загрузить цены. Обновите страницу.';
    byId('status').className = 'error';
  });
})();
