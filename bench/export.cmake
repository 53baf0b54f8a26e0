zova_bench(bench_export ${CMAKE_CURRENT_SOURCE_DIR}/ExportBench.cpp)
target_link_libraries(bench_export PRIVATE zova::export zova::model Qt6::Widgets)
