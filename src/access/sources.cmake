set(FILES_access
)
set(WINDOWS_access
  ${CMAKE_CURRENT_LIST_DIR}/Password.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CambiaPassword.cpp
)
