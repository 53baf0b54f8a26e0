# Encoding runs on a worker thread.
target_link_libraries(zova_export PUBLIC Qt6::Concurrent)
