# Precompiled headers: the Qt and standard headers nearly every source includes, compiled once per
# level of the layering and reused by every target of that level, libraries, tests, fuzz targets
# and benchmarks alike.
#
#   core     Qt Core                          network  core + Qt Network
#   gui      network + Qt Gui                 widgets  gui + Qt Widgets
#
# A target gets the highest level whose Qt modules it links (directly or through our libraries),
# so a widget-free library never sees a widget header. Each level's header is compiled by a target
# of its own (quelta_pch_<level>) with the project's flags and only its modules' definitions; a
# user may add definitions the Qt headers do not test (a test's QT_TESTCASE_BUILDDIR, QT_TESTLIB_LIB,
# a module's QT_*_LIB), never change one. GCC refuses a header built with other definitions; we make
# that an error, so a target never falls back to parsing everything again without anyone noticing.
#
# quelta_precompile(targets...) gives each target its level's header (nothing for a target without
# Qt). quelta_precompile_all() does so for every target of the project: called once at the end of
# the top-level CMakeLists.txt, so a new library, test or benchmark needs no call of its own.

set(_QUELTA_PCH_HEADERS_Core
    <QByteArray> <QByteArrayView> <QCoreApplication> <QDateTime> <QDir> <QElapsedTimer> <QFile>
    <QFileInfo> <QHash> <QList> <QMap> <QObject> <QPointer> <QRegularExpression> <QSet> <QString>
    <QStringList> <QStringView> <QTemporaryDir> <QTimer> <QVariant>
    <algorithm> <array> <chrono> <deque> <functional> <memory> <optional> <string> <vector>)
set(_QUELTA_PCH_HEADERS_Network <QHostAddress> <QNetworkDatagram> <QTcpSocket> <QUdpSocket>)
set(_QUELTA_PCH_HEADERS_Gui
    <QColor> <QFont> <QFontMetrics> <QGuiApplication> <QImage> <QKeyEvent> <QPainter> <QPalette>
    <QTextBlock> <QTextCursor> <QTextDocument> <QTextLayout>)
set(_QUELTA_PCH_HEADERS_Widgets
    <QApplication> <QBoxLayout> <QCheckBox> <QComboBox> <QFrame> <QGroupBox> <QLabel> <QLineEdit>
    <QListWidget> <QMessageBox> <QPlainTextEdit> <QPushButton> <QRadioButton> <QScrollBar>
    <QSplitter> <QTabWidget> <QTextEdit> <QWidget>)

set(_QUELTA_PCH_LEVELS core network gui widgets)
set(_QUELTA_PCH_MODULES_core Core)
set(_QUELTA_PCH_MODULES_network Core Network)
set(_QUELTA_PCH_MODULES_gui Core Network Gui)
set(_QUELTA_PCH_MODULES_widgets Core Network Gui Widgets)

# The Qt modules `target` links, through our own targets and the modules' own dependencies.
function(_quelta_qt_modules target out)
  set(todo ${target})
  set(seen "")
  set(modules "")
  while(todo)
    list(POP_FRONT todo t)
    if(t MATCHES "^\\$<LINK_ONLY:(.+)>$")
      set(t ${CMAKE_MATCH_1})
    endif()
    if(t IN_LIST seen)
      continue()
    endif()
    list(APPEND seen ${t})
    if(t MATCHES "^Qt6?::(.+)$")
      list(APPEND modules ${CMAKE_MATCH_1})
      continue()
    endif()
    if(NOT TARGET ${t})
      continue()
    endif()
    get_target_property(imported ${t} IMPORTED)
    if(imported)
      continue()
    endif()
    foreach(property LINK_LIBRARIES INTERFACE_LINK_LIBRARIES)
      get_target_property(libs ${t} ${property})
      if(libs)
        list(APPEND todo ${libs})
      endif()
    endforeach()
  endwhile()
  # What the modules themselves bring.
  if(Widgets IN_LIST modules)
    list(APPEND modules Gui)
  endif()
  if(HttpServer IN_LIST modules OR WebSockets IN_LIST modules)
    list(APPEND modules Network)
  endif()
  if(modules)
    list(APPEND modules Core)
  endif()
  list(REMOVE_DUPLICATES modules)
  set(${out} ${modules} PARENT_SCOPE)
endfunction()

# The target that compiles the header of `level`, made on first use.
function(_quelta_pch_host level out)
  set(host quelta_pch_${level})
  if(NOT TARGET ${host})
    set(source ${CMAKE_BINARY_DIR}/pch/${host}.cpp)
    file(CONFIGURE OUTPUT ${source} CONTENT "// Compiles the precompiled header of the ${level} level.\n")
    add_library(${host} OBJECT ${source})
    set_target_properties(${host} PROPERTIES AUTOMOC OFF AUTOUIC OFF AUTORCC OFF)
    set(headers "")
    foreach(module IN LISTS _QUELTA_PCH_MODULES_${level})
      target_link_libraries(${host} PRIVATE Qt6::${module})
      list(APPEND headers ${_QUELTA_PCH_HEADERS_${module}})
    endforeach()
    target_precompile_headers(${host} PRIVATE ${headers})
  endif()
  set(${out} ${host} PARENT_SCOPE)
endfunction()

function(quelta_precompile)
  foreach(target IN LISTS ARGN)
    _quelta_qt_modules(${target} modules)
    set(level "")
    foreach(candidate IN LISTS _QUELTA_PCH_LEVELS)
      set(covered TRUE)
      foreach(module IN LISTS _QUELTA_PCH_MODULES_${candidate})
        if(NOT module IN_LIST modules)
          set(covered FALSE)
        endif()
      endforeach()
      if(covered)
        set(level ${candidate})
      endif()
    endforeach()
    if(NOT level)
      continue()
    endif()
    if(level STREQUAL "widgets" AND TARGET ${target}_no_widgets)
      message(FATAL_ERROR "${target} is widget-free but links Qt Widgets")
    endif()
    _quelta_pch_host(${level} host)
    set_target_properties(${target} PROPERTIES PRECOMPILE_HEADERS_REUSE_FROM ${host})
    target_compile_options(${target} PRIVATE $<$<CXX_COMPILER_ID:GNU>:-Werror=invalid-pch>)
    # A program's classes are moc'ed in their own sources, so its moc collection is empty: loading
    # the header there would cost more than the file.
    get_target_property(type ${target} TYPE)
    get_target_property(automoc ${target} AUTOMOC)
    if(type STREQUAL "EXECUTABLE" AND automoc)
      get_target_property(binaryDir ${target} BINARY_DIR)
      set_source_files_properties(${binaryDir}/${target}_autogen/mocs_compilation.cpp TARGET_DIRECTORY ${target}
                                  PROPERTIES SKIP_PRECOMPILE_HEADERS ON)
    endif()
  endforeach()
endfunction()

# Every target of the project that compiles C++ of its own.
function(quelta_precompile_all)
  set(dirs ${CMAKE_SOURCE_DIR})
  set(targets "")
  while(dirs)
    list(POP_FRONT dirs dir)
    get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
    list(APPEND dirs ${subdirs})
    get_property(found DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
    foreach(t IN LISTS found)
      get_target_property(type ${t} TYPE)
      get_target_property(qtObjects ${t} _is_qt_propagated_object_library)  # Qt's resource objects
      if(type MATCHES "^(EXECUTABLE|STATIC_LIBRARY|SHARED_LIBRARY|MODULE_LIBRARY|OBJECT_LIBRARY)$"
         AND NOT t MATCHES "^quelta_pch_" AND NOT qtObjects)
        list(APPEND targets ${t})
      endif()
    endforeach()
  endwhile()
  quelta_precompile(${targets})
endfunction()
