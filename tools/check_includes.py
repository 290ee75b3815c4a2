#!/usr/bin/env python3
"""The program's includes against its libraries: no file includes a header of a library above its
own, and no files go round in a circle through their includes.

A file's folder tells its library (storage/settings_file.*, tax_settings.*, shop_week.* and mail_password.* are
the settings library the storage and the documents share, on the core; app/main.cpp is the program itself, above them all). Run from the source root;
prints each fault and exits 1 when there is one. Tests, benchmarks and tools may include anything.
"""

import os
import re
import subprocess
import sys

# Each library and the libraries it may include, as target_link_libraries in CMakeLists.txt has
# them (the office reaches the window privately, for the export panel alone).
LIBRARIES = {
    'core': set(),
    'settings': {'core'},
    'storage': {'core', 'settings'},
    'documents': {'core', 'settings'},
    'office': {'core'},
    'mail': {'core', 'settings', 'storage'},
    'cli': {'core', 'settings', 'storage', 'documents', 'office', 'mail'},
    # The website's service: no widgets, no Qt Gui.
    'web': {'core', 'settings', 'storage'},
    # The dialogs are the window's library too, but get what they use, never the window.
    'dialogs': {'core', 'settings', 'storage', 'documents', 'office'},
    'gui': {'core', 'settings', 'storage', 'documents', 'office', 'dialogs', 'mail'},
    'program': {'core', 'settings', 'storage', 'documents', 'office', 'cli', 'dialogs', 'gui',
                'mail'},
}

FOLDERS = {
    'prices': 'core', 'pricing': 'core', 'order': 'core', 'customers': 'core',
    'storage': 'storage', 'documents': 'documents', 'office': 'office', 'cli': 'cli',
    'mail': 'mail', 'web': 'web',
    'app': 'gui', 'calculators': 'gui', 'form': 'gui', 'dialogs': 'dialogs',
}

INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"', re.MULTILINE)


def library_of(path):
    if path.startswith(('storage/settings_file.', 'storage/tax_settings.', 'storage/shop_week.',
                        'storage/mail_password.')):
        return 'settings'
    if path == 'app/main.cpp':
        return 'program'
    return FOLDERS.get(path.split('/', 1)[0])


def program_files():
    listed = subprocess.run(['git', 'ls-files', '-z', '--', '*.cpp', '*.h'],
                            capture_output=True, check=True).stdout.decode().split('\0')
    return sorted(path for path in listed if path and library_of(path))


def includes_of(path, known):
    with open(path, encoding='utf-8') as source:
        text = source.read()
    found = []
    for name in INCLUDE.findall(text):
        if name in known:
            found.append(name)
        elif os.path.normpath(os.path.join(os.path.dirname(path), name)) in known:
            found.append(os.path.normpath(os.path.join(os.path.dirname(path), name)))
    return found


def circles(graph):
    """The files that include themselves through others, in groups that go round together
    (Tarjan's strongly connected components)."""
    index, low, stack, on_stack, groups = {}, {}, [], set(), []
    counter = [0]

    def visit(node):
        index[node] = low[node] = counter[0]
        counter[0] += 1
        stack.append(node)
        on_stack.add(node)
        for target in sorted(graph.get(node, ())):
            if target not in index:
                visit(target)
                low[node] = min(low[node], low[target])
            elif target in on_stack:
                low[node] = min(low[node], index[target])
        if low[node] == index[node]:
            group = []
            while True:
                member = stack.pop()
                on_stack.discard(member)
                group.append(member)
                if member == node:
                    break
            if len(group) > 1:
                groups.append(sorted(group))

    sys.setrecursionlimit(10000)
    for node in sorted(graph):
        if node not in index:
            visit(node)
    return groups


def main():
    files = program_files()
    known = set(files)
    faults = []
    graph = {}
    for path in files:
        own = library_of(path)
        for included in includes_of(path, known):
            theirs = library_of(included)
            if theirs != own and theirs not in LIBRARIES[own]:
                faults.append(f'{path} ({own}) includes {included} ({theirs}), a library above')
            graph.setdefault(path, set()).add(included)
    for group in circles(graph):
        faults.append('a circle of includes through ' + ', '.join(group))
    for fault in faults:
        print(fault, file=sys.stderr)
    if faults:
        return 1
    print(f'Includes: {len(files)} files, none upwards, no circle.')
    return 0


if __name__ == '__main__':
    sys.exit(main())
