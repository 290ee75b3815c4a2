# Installation on a counter PC and the Debian package built from it (`./run package`).
include(GNUInstallDirs)

install(TARGETS printcalc RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The website's quoting service, shipped with its unit but not enabled.
install(TARGETS printcalc-web RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES packaging/printcalc-web.service DESTINATION lib/systemd/system)
# Its settings, kept by dpkg as a configuration file the shop edits.
install(FILES packaging/web.ini DESTINATION /etc/printcalc)
install(FILES packaging/printcalc.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES resources/icons/printcalc.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 16 24 32 48 64 128 256)
    install(FILES resources/icons/printcalc-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME printcalc.png)
endforeach()
# The staff's guide that F1 opens, as guide/CMakeLists.txt rendered it; under share/printcalc
# rather than share/doc, which slim systems leave out.
install(FILES ${CMAKE_BINARY_DIR}/guide/index.html
        DESTINATION ${CMAKE_INSTALL_DATADIR}/printcalc/guide)
install(FILES ${PRINTCALC_GUIDE_PICTURES}
        DESTINATION ${CMAKE_INSTALL_DATADIR}/printcalc/guide/images)
if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/templates/invoice.xlsx)
    install(FILES templates/invoice.xlsx DESTINATION ${CMAKE_INSTALL_DATADIR}/printcalc)
endif()

# What Debian asks of every package: copyright, a compressed changelog, lintian's overrides.
set(PRINTCALC_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/${PROJECT_NAME})
string(TIMESTAMP PRINTCALC_CHANGELOG_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
configure_file(packaging/changelog.in ${CMAKE_BINARY_DIR}/packaging/changelog @ONLY)
configure_file(packaging/printcalc.1 ${CMAKE_BINARY_DIR}/packaging/printcalc.1 COPYONLY)
execute_process(COMMAND gzip -9nf ${CMAKE_BINARY_DIR}/packaging/changelog
                                  ${CMAKE_BINARY_DIR}/packaging/printcalc.1)
install(FILES packaging/copyright ${CMAKE_BINARY_DIR}/packaging/changelog.gz
        DESTINATION ${PRINTCALC_DOC_DIR})
install(FILES ${CMAKE_BINARY_DIR}/packaging/printcalc.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES packaging/lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME ${PROJECT_NAME})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${PROJECT_NAME})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Print shop")
set(CPACK_PACKAGE_CONTACT "Print shop IT <it@printshop.example>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "price calculator for a print shop")
set(CPACK_PACKAGE_DESCRIPTION "Staff at the counter choose format, colours, paper and finishing, type the
sizes and the quantity, and the calculator prices the job from its built-in
price list and adds it to the order. The order becomes an invoice in the
shop's spreadsheet template, opened in LibreOffice Calc, or a PDF invoice
and a printout made without the office.")
# Libraries the program links are found by dpkg-shlibdeps (Qt Print Support among them); the
# office it drives at run time is named here with its Russian language pack (the program's office
# profile opens the invoice in Russian), and so are the font the PDF invoice embeds and Qt's
# translations that make the print and file dialogs speak Russian.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
string(CONCAT CPACK_DEBIAN_PACKAGE_DEPENDS "libreoffice-calc, libreoffice-l10n-ru, ure, "
    "libqt5sql5-sqlite, fonts-dejavu-core, qttranslations5-l10n")
# The order and the journal: SQLite on every counter; PostgreSQL for a shop with several counters.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libqt5sql5-psql")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_SOURCE_DIR}/packaging/conffiles)
include(CPack)
