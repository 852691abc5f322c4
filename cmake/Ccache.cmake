# ccache (a developer's CMAKE_CXX_COMPILER_LAUNCHER) caches sources compiled with a precompiled
# header only with the sloppiness pch_defines,time_macros: added here when its settings lack them.
if(CMAKE_CXX_COMPILER_LAUNCHER MATCHES "ccache")
  execute_process(COMMAND ${CMAKE_CXX_COMPILER_LAUNCHER} --get-config sloppiness
                  OUTPUT_VARIABLE _quelta_sloppiness OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE _quelta_rc)
  string(REPLACE " " "" _quelta_sloppiness "${_quelta_sloppiness}")
  if(_quelta_rc EQUAL 0 AND NOT (_quelta_sloppiness MATCHES "pch_defines" AND _quelta_sloppiness MATCHES "time_macros"))
    string(REPLACE ";" "," _quelta_sloppiness "${_quelta_sloppiness};pch_defines;time_macros")
    string(REGEX REPLACE "^," "" _quelta_sloppiness "${_quelta_sloppiness}")
    message(STATUS "ccache: compiling with sloppiness ${_quelta_sloppiness} for the precompiled headers")
    set(CMAKE_CXX_COMPILER_LAUNCHER ${CMAKE_COMMAND} -E env CCACHE_SLOPPINESS=${_quelta_sloppiness}
        ${CMAKE_CXX_COMPILER_LAUNCHER})
  endif()
endif()
