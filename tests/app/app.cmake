zova_test(app_shell_test SOURCES ${ZOVA_TEST_DIR}/ShellTest.cpp LIBS zova::app)
zova_test(app_first_run_test SOURCES ${ZOVA_TEST_DIR}/FirstRunTest.cpp LIBS zova::app zova::onboarding)
zova_test(app_library_test SOURCES ${ZOVA_TEST_DIR}/LibraryTest.cpp LIBS zova::app SQLite::SQLite3)
zova_test(app_shutdown_signals_test SOURCES ${ZOVA_TEST_DIR}/ShutdownSignalsTest.cpp LIBS zova::app)
zova_test(app_instance_test SOURCES ${ZOVA_TEST_DIR}/InstanceEndToEndTest.cpp LIBS zova::model zova::platform
          LABELS wm ENV ZOVA_APP=$<TARGET_FILE:zova>)
add_dependencies(app_instance_test zova)
zova_test(app_library_collection_test SOURCES ${ZOVA_TEST_DIR}/LibraryCollectionTest.cpp LIBS zova::app)
zova_test(app_relative_date_test SOURCES ${ZOVA_TEST_DIR}/RelativeDateTest.cpp LIBS zova::app)
