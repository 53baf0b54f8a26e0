# Encoding runs on a worker thread.
target_link_libraries(zova_export PRIVATE Qt6::Concurrent)
