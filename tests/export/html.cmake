zova_test(export_html_page_test SOURCES ${ZOVA_TEST_DIR}/HtmlPageTest.cpp LIBS zova::export zova::model)
zova_test(export_html_folder_test SOURCES ${ZOVA_TEST_DIR}/HtmlFolderExportTest.cpp LIBS zova::export zova::model)
