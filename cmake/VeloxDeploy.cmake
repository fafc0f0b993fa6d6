# What a program of this project needs beside it, and how it is installed.

# A static Qt carries its plugins inside the program. Qt links the default
# platform plugin on its own; the offscreen one (window tests, screenshots) and
# the Windows style must be asked for.
function(velox_link_qt_plugins target)
  get_target_property(qt_core_type Qt6::Core TYPE)
  if(NOT qt_core_type STREQUAL "STATIC_LIBRARY")
    return()
  endif()
  set(plugins)
  foreach(plugin IN ITEMS QOffscreenIntegrationPlugin QWindowsIntegrationPlugin QWindowsVistaStylePlugin
                          QXcbIntegrationPlugin)
    if(TARGET Qt6::${plugin})
      list(APPEND plugins Qt6::${plugin})
    endif()
  endforeach()
  if(plugins)
    qt_import_plugins(${target} INCLUDE ${plugins})
  endif()
endfunction()

# `cmake --install`: on Windows the program goes into the root of the prefix, the
# way it lies in an emulator's folder, with a README.txt and, for a Qt
# built as DLLs, the Qt DLLs and plugins that windeployqt gathers.
function(velox_install_program target)
  if(NOT WIN32)
    include(GNUInstallDirs)
    install(TARGETS ${target} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    return()
  endif()
  install(TARGETS ${target} RUNTIME DESTINATION .)
  # The readme names the version of project().
  configure_file(${CMAKE_SOURCE_DIR}/docs/windows-readme.txt ${CMAKE_BINARY_DIR}/README.txt @ONLY)
  install(FILES ${CMAKE_BINARY_DIR}/README.txt DESTINATION .)
  get_target_property(qt_core_type Qt6::Core TYPE)
  if(qt_core_type STREQUAL "SHARED_LIBRARY" AND NOT CMAKE_CROSSCOMPILING)
    get_target_property(qmake Qt6::qmake IMPORTED_LOCATION)
    get_filename_component(qt_bin "${qmake}" DIRECTORY)
    find_program(VELOX_WINDEPLOYQT windeployqt HINTS "${qt_bin}")
    if(VELOX_WINDEPLOYQT)
      install(CODE "execute_process(COMMAND \"${VELOX_WINDEPLOYQT}\" --no-translations --no-system-d3d-compiler
                      --no-opengl-sw \"\${CMAKE_INSTALL_PREFIX}/$<TARGET_FILE_NAME:${target}>\"
                      COMMAND_ERROR_IS_FATAL ANY)")
    else()
      message(WARNING "windeployqt not found beside ${qmake}: copy the Qt DLLs beside the program by hand")
    endif()
  endif()

  # The release: one zip, the program and its README, nothing else needed.
  if(NOT qt_core_type STREQUAL "STATIC_LIBRARY")
    return()
  endif()
  set(zip ${CMAKE_BINARY_DIR}/velox-configurator-${PROJECT_VERSION}-windows-x86_64.zip)
  set(stage ${CMAKE_BINARY_DIR}/release-stage)
  add_custom_command(OUTPUT ${zip}
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${stage}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${stage}
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:${target}> ${stage}/
    COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_BINARY_DIR}/README.txt ${stage}/README.txt
    COMMAND ${CMAKE_COMMAND} -E chdir ${stage} ${CMAKE_COMMAND} -E tar cf ${zip} --format=zip
            $<TARGET_FILE_NAME:${target}> README.txt
    DEPENDS ${target} ${CMAKE_BINARY_DIR}/README.txt
    COMMENT "Packing the Windows release"
    VERBATIM)
  add_custom_target(velox_release_zip DEPENDS ${zip})
endfunction()
