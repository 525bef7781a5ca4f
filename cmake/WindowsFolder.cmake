# The program folder of the Windows build: beside the programs, the Qt and
# runtime DLLs they load, Qt's plugins (the windows and offscreen platforms,
# the Windows style), a qt.conf that makes the folder Qt's prefix, Qt's
# Italian texts and the licences of what is carried. Laid into the build's
# program folder as it builds, and by cmake --install into the zip's.

# The compiler's own runtime.
set(VELMORA_RUNTIME_DLLS)
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                  OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT IS_ABSOLUTE "${path}")
    message(FATAL_ERROR "the compiler does not know ${dll}")
  endif()
  list(APPEND VELMORA_RUNTIME_DLLS "${path}")
endforeach()
file(COPY ${VELMORA_RUNTIME_DLLS} DESTINATION ${VELMORA_PROGRAM_DIR})
install(FILES ${VELMORA_RUNTIME_DLLS} DESTINATION .)

file(WRITE ${VELMORA_PROGRAM_DIR}/qt.conf "[Paths]\nPrefix = .\n")
install(FILES ${VELMORA_PROGRAM_DIR}/qt.conf DESTINATION .)

# Qt's own dialogs and messages in Italian (Debian's qt6-translations-l10n).
set(VELMORA_QT_ITALIAN /usr/share/qt6/translations/qtbase_it.qm)
if(NOT EXISTS ${VELMORA_QT_ITALIAN})
  message(FATAL_ERROR "${VELMORA_QT_ITALIAN} is missing: scripts/install-deps.sh windows installs it")
endif()
file(COPY ${VELMORA_QT_ITALIAN} DESTINATION ${VELMORA_PROGRAM_DIR}/translations)
install(FILES ${VELMORA_QT_ITALIAN} DESTINATION translations)

# The licences: Debian's copyright file of each package carried.
foreach(package qt6-base-dev libharfbuzz-dev libcsv-dev zlib1g fonts-liberation2 fonts-dejavu-core
                libstdc++6 mingw-w64-common)
  set(copyright /usr/share/doc/${package}/copyright)
  if(NOT EXISTS ${copyright})
    message(FATAL_ERROR "${copyright} is missing: scripts/install-deps.sh windows installs it")
  endif()
  configure_file(${copyright} ${VELMORA_PROGRAM_DIR}/licenses/${package}.txt COPYONLY)
  install(FILES ${VELMORA_PROGRAM_DIR}/licenses/${package}.txt DESTINATION licenses)
endforeach()

# Qt's DLLs and plugins, copied as they are built into the kit.
set(qt_dlls Qt6::Core Qt6::Gui Qt6::Widgets Qt6::PrintSupport)
set(qt_platforms Qt6::QWindowsIntegrationPlugin Qt6::QOffscreenIntegrationPlugin)
set(qt_styles Qt6::QWindowsVistaStylePlugin)
set(copies)
foreach(dll ${qt_dlls})
  list(APPEND copies COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:${dll}> ${VELMORA_PROGRAM_DIR})
  install(FILES $<TARGET_FILE:${dll}> DESTINATION .)
endforeach()
foreach(kind platforms styles)
  list(APPEND copies COMMAND ${CMAKE_COMMAND} -E make_directory ${VELMORA_PROGRAM_DIR}/plugins/${kind})
  foreach(plugin ${qt_${kind}})
    list(APPEND copies COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:${plugin}>
                               ${VELMORA_PROGRAM_DIR}/plugins/${kind})
    install(FILES $<TARGET_FILE:${plugin}> DESTINATION plugins/${kind})
  endforeach()
endforeach()
add_custom_target(velmora_qt_runtime ALL ${copies} COMMENT "Laying Qt's DLLs and plugins into the program folder")
add_dependencies(Velmora velmora_qt_runtime)
