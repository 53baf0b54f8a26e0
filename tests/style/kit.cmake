zova_test(style_kit_test SOURCES ${ZOVA_TEST_DIR}/KitTest.cpp LIBS zova::style)
zova_test(style_overlay_test SOURCES ${ZOVA_TEST_DIR}/OverlayTest.cpp LIBS zova::style)
zova_test(style_popover_test SOURCES ${ZOVA_TEST_DIR}/PopoverTest.cpp LIBS zova::style)
