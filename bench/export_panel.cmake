zova_bench(bench_export_panel ExportPanelBench.cpp)
target_link_libraries(bench_export_panel PRIVATE zova::export_ui zova::app)
