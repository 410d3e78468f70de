# Thin wrappers so every library, program and test is declared the same way.

set(QS_WARNINGS -Wall -Wextra)
# The four-field version the program and its libraries report.
set(QS_VERSION_TEXT "${PROJECT_VERSION}.2")
add_compile_definitions(QS_VERSION_TEXT="${QS_VERSION_TEXT}")

# Precompiled headers for Qt-heavy targets: a cold build on two cores is
# dominated by Qt's headers.
set(QS_PCH_CORE <QtCore/QObject> <QtCore/QString> <QtCore/QStringList> <QtCore/QVariant>
                <QtCore/QList> <QtCore/QHash> <QtCore/QMap> <QtCore/QFile> <QtCore/QDir>)
set(QS_PCH_WIDGETS ${QS_PCH_CORE} <QtWidgets/QWidget> <QtWidgets/QDialog> <QtWidgets/QApplication>
                   <QtWidgets/QMainWindow> <QtGui/QPainter>)

# qs_add_library(<name> [SHARED|STATIC] SOURCES ... [DEPS ...] [PRIVATE_DEPS ...] [PCH CORE|WIDGETS])
# The folder of the CMakeLists is the library's public include directory.
function(qs_add_library name)
  cmake_parse_arguments(A "SHARED;STATIC" "PCH;OUTPUT_NAME" "SOURCES;DEPS;PRIVATE_DEPS" ${ARGN})
  set(kind SHARED)
  if(A_STATIC)
    set(kind STATIC)
  endif()
  add_library(${name} ${kind} ${A_SOURCES})
  target_include_directories(${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
  target_compile_options(${name} PRIVATE ${QS_WARNINGS})
  target_link_libraries(${name} PUBLIC ${A_DEPS} PRIVATE ${A_PRIVATE_DEPS})
  if(A_OUTPUT_NAME)
    set_target_properties(${name} PROPERTIES OUTPUT_NAME ${A_OUTPUT_NAME})
  endif()
  if(A_PCH STREQUAL "WIDGETS")
    target_precompile_headers(${name} PRIVATE ${QS_PCH_WIDGETS})
  elseif(A_PCH STREQUAL "CORE")
    target_precompile_headers(${name} PRIVATE ${QS_PCH_CORE})
  endif()
endfunction()

# qs_add_executable(<name> SOURCES ... [DEPS ...] [PCH CORE|WIDGETS])
function(qs_add_executable name)
  cmake_parse_arguments(A "" "PCH" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  target_compile_options(${name} PRIVATE ${QS_WARNINGS})
  target_link_libraries(${name} PRIVATE ${A_DEPS})
  if(A_PCH STREQUAL "WIDGETS")
    target_precompile_headers(${name} PRIVATE ${QS_PCH_WIDGETS})
  elseif(A_PCH STREQUAL "CORE")
    target_precompile_headers(${name} PRIVATE ${QS_PCH_CORE})
  endif()
endfunction()

# The target that compiles a precompiled header once for every test that
# asks for that kind; made on first use.
function(qs_test_pch_host host headers qtlib)
  if(TARGET ${host})
    return()
  endif()
  set(src "${CMAKE_BINARY_DIR}/${host}.cpp")
  if(NOT EXISTS "${src}")
    file(WRITE "${src}" "// Empty: only the precompiled header of this target is used.\n")
  endif()
  add_library(${host} OBJECT "${src}")
  target_compile_options(${host} PRIVATE ${QS_WARNINGS})
  target_link_libraries(${host} PRIVATE ${qtlib})
  set_target_properties(${host} PROPERTIES POSITION_INDEPENDENT_CODE ON)
  target_precompile_headers(${host} PRIVATE ${headers})
endfunction()

# qs_add_gtest(<name> SOURCES ... [LIBS ...] [PCH CORE|WIDGETS] [LABELS ...] [DBUS])
# Links the shared test main, which points every overridable path at a fresh
# temporary folder and runs GUI code offscreen. DBUS runs each test under its
# own private session bus.
function(qs_add_gtest name)
  cmake_parse_arguments(A "DBUS" "PCH" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  target_compile_options(${name} PRIVATE ${QS_WARNINGS})
  # A GUI test names qstestmain_gui in LIBS; it then replaces the plain main.
  if("qstestmain_gui" IN_LIST A_LIBS)
    target_link_libraries(${name} PRIVATE ${A_LIBS})
  else()
    target_link_libraries(${name} PRIVATE qstestmain ${A_LIBS})
  endif()
  # Tests share one precompiled header per kind: a copy per test program
  # costs about 150 MB of disk and a Qt parse each.
  if(A_PCH STREQUAL "WIDGETS")
    qs_test_pch_host(qs_test_pch_widgets "${QS_PCH_WIDGETS}" Qt6::Widgets)
    target_precompile_headers(${name} REUSE_FROM qs_test_pch_widgets)
  elseif(A_PCH STREQUAL "CORE")
    qs_test_pch_host(qs_test_pch_core "${QS_PCH_CORE}" Qt6::Core)
    target_precompile_headers(${name} REUSE_FROM qs_test_pch_core)
  endif()
  set(props ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QS_BUILD_BIN_DIR=${CMAKE_BINARY_DIR}/bin;QS_TEST_DATA_DIR=${PROJECT_SOURCE_DIR}/tests/data")
  if(A_LABELS)
    list(APPEND props LABELS "${A_LABELS}")
  endif()
  if(A_DBUS)
    # Discovery and every test case run inside a private session bus whose
    # service folder is the build's, so activation finds our servers and no
    # two tests share bus names.
    set_target_properties(${name} PROPERTIES
      CROSSCOMPILING_EMULATOR "${PROJECT_SOURCE_DIR}/tests/support/with-session-bus;${CMAKE_BINARY_DIR}/dbus-services")
  endif()
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
    TEST_PREFIX "${name}."
    DISCOVERY_TIMEOUT 60
    PROPERTIES ${props})
endfunction()
