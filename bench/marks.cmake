zova_bench(bench_marks ${CMAKE_CURRENT_SOURCE_DIR}/MarksBench.cpp)
target_link_libraries(bench_marks PRIVATE zova::editor zova::model Qt6::Test)
