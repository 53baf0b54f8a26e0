zova_test(export_html_page_test SOURCES ${ZOVA_TEST_DIR}/HtmlPageTest.cpp LIBS zova::export zova::model)
zova_test(export_html_folder_test SOURCES ${ZOVA_TEST_DIR}/HtmlFolderExportTest.cpp LIBS zova::export zova::model)

zova_test(export_pdf_test SOURCES ${ZOVA_TEST_DIR}/PdfExportTest.cpp LIBS zova::export zova::model zova::platform
          Qt6::Network LABELS pdf)
# QtWebEngine refuses to start as root with its sandbox on, and its own page
# teardown trips AddressSanitizer's new/delete size check inside the library;
# every other check stays on.
set_tests_properties(export_pdf_test PROPERTIES ENVIRONMENT
  "QT_QPA_PLATFORM=offscreen;QTWEBENGINE_DISABLE_SANDBOX=1;ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:new_delete_type_mismatch=0;LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp:print_suppressions=0;UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")
zova_test(export_reveal_test SOURCES ${ZOVA_TEST_DIR}/RevealTest.cpp LIBS zova::platform Qt6::DBus)
