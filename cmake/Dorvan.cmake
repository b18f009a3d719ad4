# AUTOMOC under Ninja reruns only when a file it scanned before changes, so a header
# that a glob picks up later (a room's first ui/ header) would never be moc'ed. When
# the glob result of a target changes, drop its autogen stamp to force a new scan.
#   dorvan_moc_reexamina(<target> <files...>)
function(dorvan_moc_reexamina alvo)
  set(_lista ${CMAKE_CURRENT_BINARY_DIR}/${alvo}_fontes.txt)
  if(EXISTS ${_lista})
    file(READ ${_lista} _antes)
    if(NOT _antes STREQUAL "${ARGN}")
      file(REMOVE ${CMAKE_CURRENT_BINARY_DIR}/${alvo}_autogen/timestamp)
    endif()
  endif()
  file(WRITE ${_lista} "${ARGN}")
endfunction()

# One logic library per subsystem folder (plain C++ and Qt Core at most) and,
# when windows are built, one window library from its ui/ folder.
#   dorvan_room(<name> DEPS <logic libs> UI_DEPS <window libs>)
function(dorvan_room name)
  cmake_parse_arguments(R "" "" "DEPS;UI_DEPS;QT;UI_QT" ${ARGN})
  file(GLOB _src CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  add_library(dorvan_${name} STATIC ${_src} ${PROJECT_SOURCE_DIR}/src/empty.cpp)
  target_include_directories(dorvan_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(dorvan_${name} PUBLIC Qt6::Core ${R_DEPS} ${R_QT})
  dorvan_moc_reexamina(dorvan_${name} ${_src})
  # Every room gets its window library, empty until a ui/ folder appears, so the
  # program can link all of them from the start.
  if(DORVAN_UI)
    file(GLOB _ui CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/ui/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/ui/*.h
                                    ${CMAKE_CURRENT_SOURCE_DIR}/ui/*.qrc)
    add_library(dorvan_${name}_ui STATIC ${_ui} ${PROJECT_SOURCE_DIR}/src/empty.cpp)
    target_include_directories(dorvan_${name}_ui PUBLIC ${PROJECT_SOURCE_DIR}/src ${QSCINTILLA_INCLUDE_DIR})
    target_link_libraries(dorvan_${name}_ui PUBLIC dorvan_${name} ${R_UI_DEPS} ${R_UI_QT}
                          Qt6::Widgets Qt6::PrintSupport Qt6::Sql Qt6::Charts Qt6::Svg ${QSCINTILLA_LIBRARY})
    dorvan_moc_reexamina(dorvan_${name}_ui ${_ui})
  endif()
endfunction()

# One GoogleTest program per test folder; window tests (ui/) run offscreen. A test
# that hangs (a dialog nobody closes) fails after 5 minutes instead of eating the CI run.
#   dorvan_tests(<name> LIBS <libs>)
function(dorvan_tests name)
  cmake_parse_arguments(T "" "" "LIBS;UI_LIBS" ${ARGN})
  file(GLOB _src CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(_src)
    add_executable(test_${name} ${_src} ${PROJECT_SOURCE_DIR}/tests/support/MainTeste.cpp)
    target_link_libraries(test_${name} PRIVATE ${T_LIBS} dorvan_testsupport GTest::gtest GTest::gmock)
    target_compile_definitions(test_${name} PRIVATE DORVAN_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
                               DORVAN_BINARY_DIR="${PROJECT_BINARY_DIR}")
    dorvan_moc_reexamina(test_${name} ${_src})
    gtest_discover_tests(test_${name} DISCOVERY_MODE PRE_TEST
                         PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8" TIMEOUT 300)
  endif()
  # Every room gets its window library, empty until a ui/ folder appears, so the
  # program can link all of them from the start.
  if(DORVAN_UI)
    file(GLOB _ui CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/ui/*.cpp)
    if(_ui)
      add_executable(test_${name}_ui ${_ui} ${PROJECT_SOURCE_DIR}/tests/support/MainTesteJanelas.cpp)
      target_link_libraries(test_${name}_ui PRIVATE ${T_LIBS} ${T_UI_LIBS} dorvan_testsupport_ui
                            GTest::gtest GTest::gmock Qt6::Test)
      target_compile_definitions(test_${name}_ui PRIVATE DORVAN_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
                                 DORVAN_BINARY_DIR="${PROJECT_BINARY_DIR}")
      dorvan_moc_reexamina(test_${name}_ui ${_ui})
      gtest_discover_tests(test_${name}_ui DISCOVERY_MODE PRE_TEST
                           PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8" TIMEOUT 300)
    endif()
  endif()
endfunction()
