# Stand-ins for what the uninstaller talks to: a Program Manager DDE server,
# a service program and a program that records how it was started. Tests
# find them through the RUVO_SERVERS environment.
add_executable(ruvo_progman WIN32 ${CMAKE_CURRENT_LIST_DIR}/progman.cpp)
add_executable(ruvo_service WIN32 ${CMAKE_CURRENT_LIST_DIR}/service.cpp)
add_executable(ruvo_recorder WIN32 ${CMAKE_CURRENT_LIST_DIR}/recorder.cpp)
target_link_libraries(ruvo_progman PRIVATE user32)
target_link_libraries(ruvo_service PRIVATE advapi32)
target_link_libraries(ruvo_recorder PRIVATE user32)
foreach(double ruvo_progman ruvo_service ruvo_recorder)
  set_target_properties(${double} PROPERTIES PREFIX "")
  target_compile_options(${double} PRIVATE ${RUVO_WARNINGS})
  # No runtime DLLs to find wherever a test copies the program.
  target_link_options(${double} PRIVATE -static)
endforeach()
list(APPEND RUVO_SERVERS
  "RUVO_PROGMAN=$<TARGET_FILE:ruvo_progman>"
  "RUVO_SERVICE=$<TARGET_FILE:ruvo_service>"
  "RUVO_RECORDER=$<TARGET_FILE:ruvo_recorder>")
