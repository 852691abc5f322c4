# quelta_no_widgets(target sources...): the build of `target` fails when one of its sources
# includes a QtWidgets header. Not linking Widgets already hides most of them; this also catches
# "QtWidgets/..." spellings that the Qt include root would resolve.
get_target_property(_quelta_widget_dirs Qt6::Widgets INTERFACE_INCLUDE_DIRECTORIES)
set(QUELTA_WIDGETS_HEADERS "")
foreach(_dir IN LISTS _quelta_widget_dirs)
  if(_dir MATCHES "QtWidgets$")
    set(QUELTA_WIDGETS_HEADERS ${_dir})
  endif()
endforeach()

function(quelta_no_widgets target)
  set(stamp ${CMAKE_CURRENT_BINARY_DIR}/${target}_no_widgets.stamp)
  add_custom_command(
    OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} -DHEADERS=${QUELTA_WIDGETS_HEADERS} -DSTAMP=${stamp} "-DFILES=${ARGN}"
            -P ${PROJECT_SOURCE_DIR}/cmake/CheckNoWidgets.cmake
    DEPENDS ${ARGN} ${PROJECT_SOURCE_DIR}/cmake/CheckNoWidgets.cmake
    COMMENT "Checking that ${target} uses no widget header"
    VERBATIM)
  add_custom_target(${target}_no_widgets DEPENDS ${stamp})
  add_dependencies(${target} ${target}_no_widgets)
endfunction()
