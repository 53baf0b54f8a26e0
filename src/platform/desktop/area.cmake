target_sources(zova_platform PRIVATE ${CMAKE_CURRENT_LIST_DIR}/FileManager.cpp)
target_link_libraries(zova_platform PRIVATE Qt6::DBus)
