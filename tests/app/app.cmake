zova_test(app_shell_test SOURCES ${ZOVA_TEST_DIR}/ShellTest.cpp LIBS zova::app)
zova_test(app_first_run_test SOURCES ${ZOVA_TEST_DIR}/FirstRunTest.cpp LIBS zova::app zova::onboarding)
zova_test(app_library_test SOURCES ${ZOVA_TEST_DIR}/LibraryTest.cpp LIBS zova::app)
