# Revealing files through the desktop's file manager (D-Bus).
target_link_libraries(zova_platform PRIVATE Qt6::DBus)
