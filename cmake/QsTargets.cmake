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
  qs_reuse_pch(${name} "${A_PCH}")
  qs_moc_if_needed(${name})
endfunction()

# qs_add_executable(<name> SOURCES ... [DEPS ...] [PCH CORE|WIDGETS])
function(qs_add_executable name)
  cmake_parse_arguments(A "" "PCH" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  target_compile_options(${name} PRIVATE ${QS_WARNINGS})
  target_link_libraries(${name} PRIVATE ${A_DEPS})
  # A program of one source gains nothing from a precompiled header: it
  # would parse the same headers once either way.
  list(LENGTH A_SOURCES count)
  if(count GREATER 1)
    qs_reuse_pch(${name} "${A_PCH}")
  endif()
  qs_moc_if_needed(${name})
endfunction()

# Qt's moc runs only for targets with a source (or the header beside it)
# that declares a moc macro; Qt-free targets get no generated sources.
function(qs_moc_if_needed target)
  get_target_property(sources ${target} SOURCES)
  get_target_property(dir ${target} SOURCE_DIR)
  foreach(src ${sources})
    if(NOT IS_ABSOLUTE "${src}")
      set(src "${dir}/${src}")
    endif()
    get_filename_component(folder "${src}" DIRECTORY)
    get_filename_component(stem "${src}" NAME_WE)
    foreach(file "${src}" "${folder}/${stem}.h")
      if(EXISTS "${file}" AND NOT IS_DIRECTORY "${file}")
        file(STRINGS "${file}" hits REGEX "Q_OBJECT|Q_GADGET|Q_NAMESPACE" LIMIT_COUNT 1)
        if(hits)
          set_target_properties(${target} PROPERTIES AUTOMOC ON)
          return()
        endif()
      endif()
    endforeach()
  endforeach()
endfunction()

# Libraries, programs and tests share one precompiled header per kind (CORE
# or WIDGETS), compiled once by a host target: a copy per target costs a Qt
# parse and about 150 MB of disk each.
function(qs_reuse_pch target kind)
  if(kind STREQUAL "WIDGETS")
    qs_pch_host(qs_pch_widgets "${QS_PCH_WIDGETS}" Qt6::Widgets)
    target_precompile_headers(${target} REUSE_FROM qs_pch_widgets)
  elseif(kind STREQUAL "CORE")
    qs_pch_host(qs_pch_core "${QS_PCH_CORE}" Qt6::Core)
    target_precompile_headers(${target} REUSE_FROM qs_pch_core)
  endif()
endfunction()

# The target that compiles a precompiled header once for every target that
# asks for that kind; made on first use.
function(qs_pch_host host headers qtlib)
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

# qs_add_gtest(<name> SOURCES ... [LIBS ...] [PCH CORE|WIDGETS] [LABELS ...] [DBUS] [ENGINES])
# Labels gui, dbus and kernel are added by what the test links and runs under.
# Links the shared test main, which points every overridable path at a fresh
# temporary folder and runs GUI code offscreen. DBUS runs each test under its
# own private session bus. ENGINES: the program's cases run once per database
# engine (tests/support/DatabaseTestFixture.h); those ending in "/postgres"
# are labelled postgres and need the run's PostgreSQL cluster (fixture pgcluster).
function(qs_add_gtest name)
  cmake_parse_arguments(A "DBUS;ENGINES" "PCH" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  target_compile_options(${name} PRIVATE ${QS_WARNINGS})
  # A GUI test names qstestmain_gui in LIBS; it then replaces the plain main.
  if("qstestmain_gui" IN_LIST A_LIBS)
    target_link_libraries(${name} PRIVATE ${A_LIBS})
  else()
    target_link_libraries(${name} PRIVATE qstestmain ${A_LIBS})
  endif()
  qs_reuse_pch(${name} "${A_PCH}")
  qs_moc_if_needed(${name})
  set(props ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QS_BUILD_BIN_DIR=${CMAKE_BINARY_DIR}/bin;QS_TEST_DATA_DIR=${PROJECT_SOURCE_DIR}/tests/data")
  # Labels pick a quick subset: `ctest -L kernel` runs the kernel's tests
  # alone, `-LE gui` leaves out the ones with windows, `-L dbus` the ones
  # under a private session bus.
  set(labels ${A_LABELS})
  if("qstestmain_gui" IN_LIST A_LIBS)
    list(APPEND labels gui)
  endif()
  if(A_DBUS)
    list(APPEND labels dbus)
  endif()
  if(name MATCHES "^test_kernel_")
    list(APPEND labels kernel)
  endif()
  if(labels)
    list(APPEND props LABELS "${labels}")
  endif()
  if(A_DBUS)
    # Discovery and every test case run inside a private session bus whose
    # service folder is the build's, so activation finds our servers and no
    # two tests share bus names.
    set_target_properties(${name} PROPERTIES
      CROSSCOMPILING_EMULATOR "${PROJECT_SOURCE_DIR}/tests/support/with-session-bus;${CMAKE_BINARY_DIR}/dbus-services")
  endif()
  if(A_ENGINES)
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
      TEST_PREFIX "${name}."
      TEST_FILTER "-*/postgres"
      DISCOVERY_TIMEOUT 60
      PROPERTIES ${props})
    set(pg_labels ${labels} postgres)
    set(pg_props ${props} LABELS "${pg_labels}" FIXTURES_REQUIRED pgcluster)
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
      TEST_PREFIX "${name}."
      TEST_FILTER "*/postgres"
      DISCOVERY_TIMEOUT 60
      PROPERTIES ${pg_props})
    return()
  endif()
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
    TEST_PREFIX "${name}."
    DISCOVERY_TIMEOUT 60
    PROPERTIES ${props})
endfunction()
