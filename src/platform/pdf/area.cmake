# HTML to PDF through QtWebEngine's page printing.
find_package(Qt6 6.4 REQUIRED COMPONENTS WebEngineCore)
target_link_libraries(zova_platform PRIVATE Qt6::WebEngineCore Qt6::Concurrent)
