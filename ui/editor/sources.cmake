# The script editor's dialogs, built into each program with its edition.
set(TARVIX_EDITOR_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/point_capture_dlg.cpp
    ${CMAKE_CURRENT_LIST_DIR}/record_dlg.cpp
    ${CMAKE_CURRENT_LIST_DIR}/recording_runner.cpp
    ${CMAKE_CURRENT_LIST_DIR}/repeat_dlg.cpp
    ${CMAKE_CURRENT_LIST_DIR}/script_dlg.cpp
)
set(TARVIX_EDITOR_INCLUDES ${CMAKE_CURRENT_LIST_DIR})
