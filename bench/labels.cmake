zova_bench(bench_labels ${CMAKE_CURRENT_SOURCE_DIR}/LabelBench.cpp)
target_link_libraries(bench_labels PRIVATE zova::engine)
target_include_directories(bench_labels PRIVATE ${PROJECT_SOURCE_DIR}/tests)
target_compile_definitions(bench_labels PRIVATE ZOVA_LABEL_SET_DIR="${PROJECT_SOURCE_DIR}/tests/engine/labels"
  ZOVA_HELDOUT_LABEL_SET_DIR="${PROJECT_SOURCE_DIR}/tests/engine/labels-heldout")
