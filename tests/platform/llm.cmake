zova_test(platform_llm_test SOURCES ${ZOVA_TEST_DIR}/LocalModelClientTest.cpp LIBS zova::platform zova::model Qt6::Network)
