zova_test(engine_vision_test
  SOURCES ${ZOVA_TEST_DIR}/PointerRemovalTest.cpp ${ZOVA_TEST_DIR}/StepLabelTest.cpp
  LIBS zova::engine)
zova_test(engine_label_set_test SOURCES ${ZOVA_TEST_DIR}/StepLabelSetTest.cpp LIBS zova::engine)
target_compile_definitions(engine_label_set_test PRIVATE ZOVA_LABEL_SET_DIR="${ZOVA_TEST_DIR}/labels")
zova_test(engine_control_label_test SOURCES ${ZOVA_TEST_DIR}/ControlLabelTest.cpp LIBS zova::engine)
zova_test(engine_label_set_file_test SOURCES ${ZOVA_TEST_DIR}/LabelSetTest.cpp LIBS zova::engine)
target_compile_definitions(engine_label_set_file_test PRIVATE ZOVA_LABEL_SET_DIR="${ZOVA_TEST_DIR}/labels"
  ZOVA_HELDOUT_LABEL_SET_DIR="${ZOVA_TEST_DIR}/labels-heldout")
