find_package(Qt6 6.4 REQUIRED COMPONENTS WebEngineCore)
target_sources(zova_platform PRIVATE ${CMAKE_CURRENT_LIST_DIR}/HtmlPdfRenderer.cpp)
target_link_libraries(zova_platform PRIVATE Qt6::WebEngineCore)
