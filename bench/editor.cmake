zova_bench(bench_editor ${CMAKE_CURRENT_SOURCE_DIR}/EditorBench.cpp)
target_link_libraries(bench_editor PRIVATE zova::editor zova::app Qt6::Concurrent)
