zova_test(export_full_disk_test SOURCES ${ZOVA_TEST_DIR}/FullDiskTest.cpp LIBS zova::export zova::model zova::platform
          LABELS pdf)
# As for the PDF exporter's own test: QtWebEngine needs its sandbox off as root, and
# its page teardown trips AddressSanitizer's new/delete size check inside the library.
set_tests_properties(export_full_disk_test PROPERTIES ENVIRONMENT
  "QT_QPA_PLATFORM=offscreen;QTWEBENGINE_DISABLE_SANDBOX=1;ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:new_delete_type_mismatch=0;LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp:print_suppressions=0;UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")
