zova_test(engine_capture_test SOURCES ${ZOVA_TEST_DIR}/CaptureServiceTest.cpp LIBS zova::engine)
zova_test(engine_click_tracking_test SOURCES ${ZOVA_TEST_DIR}/ClickTrackingServiceTest.cpp LIBS zova::engine)
zova_test(engine_permissions_test SOURCES ${ZOVA_TEST_DIR}/PermissionsServiceTest.cpp LIBS zova::engine LABELS x11)
zova_test(engine_restarter_test SOURCES ${ZOVA_TEST_DIR}/AppRestarterTest.cpp LIBS zova::engine)
