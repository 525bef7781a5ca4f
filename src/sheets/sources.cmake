set(FILES_sheets
)
set(WINDOWS_sheets
  ${CMAKE_CURRENT_LIST_DIR}/Archivio_Etichette.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Anteprima_Etichette.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Stampa_Etichette.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Anteprima_Etichetta.cpp
)
