zova_test(app_flow_test SOURCES ${ZOVA_TEST_DIR}/FlowTest.cpp LIBS zova::app)
