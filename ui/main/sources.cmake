# The main window's sources, built into each program with its edition.
set(TARVIX_MAIN_WINDOW_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/about_dlg.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ad_browser_guard.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ad_panel.cpp
    ${CMAKE_CURRENT_LIST_DIR}/browser_events.cpp
    ${CMAKE_CURRENT_LIST_DIR}/browser_lockdown.cpp
    ${CMAKE_CURRENT_LIST_DIR}/macro_dlg.cpp
    ${CMAKE_CURRENT_LIST_DIR}/macro_dlg_ad.cpp
    ${CMAKE_CURRENT_LIST_DIR}/macro_dlg_list.cpp
    ${CMAKE_CURRENT_LIST_DIR}/macro_dlg_tray.cpp
    ${CMAKE_CURRENT_LIST_DIR}/script_rows.cpp
    ${CMAKE_CURRENT_LIST_DIR}/shell_links.cpp
    ${CMAKE_CURRENT_LIST_DIR}/system_library.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tray_icon.cpp
    ${CMAKE_CURRENT_LIST_DIR}/web_address.cpp
    ${CMAKE_CURRENT_LIST_DIR}/web_browser.cpp
    ${CMAKE_CURRENT_LIST_DIR}/window_titles.cpp
)
set(TARVIX_MAIN_WINDOW_INCLUDES ${CMAKE_CURRENT_LIST_DIR})
