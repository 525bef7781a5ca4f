# The sources of the file layer, shared with the fuzzers' own build (fuzz/).
# platform/ holds what differs between operating systems: one side each, picked here.
if(WIN32)
  set(VELMORA_PLATFORM win32)
else()
  set(VELMORA_PLATFORM posix)
endif()
set(VELMORA_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/platform/Files.cpp
  ${CMAKE_CURRENT_LIST_DIR}/platform/Locks.cpp
  ${CMAKE_CURRENT_LIST_DIR}/platform/${VELMORA_PLATFORM}/Files.cpp
  ${CMAKE_CURRENT_LIST_DIR}/platform/${VELMORA_PLATFORM}/Locks.cpp
  ${CMAKE_CURRENT_LIST_DIR}/platform/${VELMORA_PLATFORM}/Process.cpp
  ${CMAKE_CURRENT_LIST_DIR}/platform/${VELMORA_PLATFORM}/Termination.cpp
  ${CMAKE_CURRENT_LIST_DIR}/folder/ProgramFolder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/folder/TextRules.cpp
  ${CMAKE_CURRENT_LIST_DIR}/folder/Formats.cpp
  ${CMAKE_CURRENT_LIST_DIR}/folder/IniFile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/folder/FileAccess.cpp
  ${CMAKE_CURRENT_LIST_DIR}/folder/TempFiles.cpp
  ${CMAKE_CURRENT_LIST_DIR}/folder/DocumentCopy.cpp
  ${CMAKE_CURRENT_LIST_DIR}/access/Crypt.cpp
  ${CMAKE_CURRENT_LIST_DIR}/access/PasswordFile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/archive/ShortText.cpp
  ${CMAKE_CURRENT_LIST_DIR}/archive/AttachmentName.cpp
  ${CMAKE_CURRENT_LIST_DIR}/archive/FileError.cpp
  ${CMAKE_CURRENT_LIST_DIR}/archive/RecordFile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/archive/AppendLock.cpp
  ${CMAKE_CURRENT_LIST_DIR}/archive/Journal.cpp
  ${CMAKE_CURRENT_LIST_DIR}/archive/PickerItem.cpp
  ${CMAKE_CURRENT_LIST_DIR}/archive/ExportWriter.cpp
  ${CMAKE_CURRENT_LIST_DIR}/archive/OfficeLock.cpp
  ${CMAKE_CURRENT_LIST_DIR}/archive/ImportCsv.cpp
  ${CMAKE_CURRENT_LIST_DIR}/archive/ImportCsvText.cpp
  ${CMAKE_CURRENT_LIST_DIR}/archive/ImportCsvParser.cpp
  ${CMAKE_CURRENT_LIST_DIR}/archive/ImportCsvRules.cpp
  ${CMAKE_CURRENT_LIST_DIR}/archive/ImportCsvRows.cpp
  ${CMAKE_CURRENT_LIST_DIR}/archive/EnvelopeSettings.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sheets/LabelGrid.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sheets/Calibration.cpp
)
