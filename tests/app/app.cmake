zova_test(app_shell_test SOURCES ${ZOVA_TEST_DIR}/ShellTest.cpp LIBS zova::app)
zova_test(app_library_test SOURCES ${ZOVA_TEST_DIR}/LibraryTest.cpp LIBS zova::app)
