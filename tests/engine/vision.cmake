zova_test(engine_vision_test
  SOURCES ${ZOVA_TEST_DIR}/PointerRemovalTest.cpp ${ZOVA_TEST_DIR}/StepLabelTest.cpp
  LIBS zova::engine)
