zova_test(engine_local_model_test SOURCES ${ZOVA_TEST_DIR}/LocalModelServiceTest.cpp LIBS zova::engine Qt6::Network)
