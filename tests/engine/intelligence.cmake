zova_test(engine_intelligence_test SOURCES ${ZOVA_TEST_DIR}/AppleIntelligenceServiceTest.cpp LIBS zova::engine Qt6::Network)
