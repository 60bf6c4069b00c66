# ostrel_subsystem(<name> [DEPENDS <subsystem>...] [WIN_LIBS <lib>...]
#                  [EXE_OBJECTS <object library>...] [SUBFOLDERS <folder>...])
#
# Call from a subsystem folder. By convention it builds:
#   ostrel_<name>          portable sources  <folder>/*.cpp        (both trees)
#   ostrel_<name>_win      Windows sources   <folder>/win/*.cpp    (Windows tree)
#   <name>_tests           portable tests    <folder>/tests/*.cpp  (both trees)
#   <name>_win_tests       Windows tests     <folder>/win/tests/*.cpp
# A subsystem split by responsibility names its SUBFOLDERS: each follows the
# same convention (<sub>/*.cpp, <sub>/win/*.cpp, <sub>/tests/*.cpp,
# <sub>/win/tests/*.cpp) and adds to the same four targets, so callers keep
# linking one library whatever the folder's inner layout.
#   ostrel_<name>_bench    portable sources again, optimised and without
#                          sanitizers, for bench/ (native tree, sanitizers on)
# New files are picked up at the next build (CONFIGURE_DEPENDS).
# EXE_OBJECTS: object libraries whose objects go into every executable that
# links the subsystem, directly or not (data that no symbol pulls out of an
# archive, such as compiled Windows resources).
# Includes are rooted at the project: #include "common/base/string_builder.h".

function(ostrel_sanitize target)
  if(OSTREL_SANITIZE AND NOT OSTREL_WINDOWS)
    target_compile_options(${target} PRIVATE -fsanitize=address,undefined -fno-omit-frame-pointer
                                             -fno-sanitize-recover=undefined)
    target_link_options(${target} PRIVATE -fsanitize=address,undefined)
  endif()
endfunction()

function(ostrel_test_definitions target)
  target_compile_definitions(${target} PRIVATE
    OSTREL_SOURCE_DIR="${OSTREL_HOST_ROOT}${CMAKE_SOURCE_DIR}"
    OSTREL_BINARY_DIR="${OSTREL_HOST_ROOT}${CMAKE_BINARY_DIR}"
    OSTREL_HOST_ROOT="${OSTREL_HOST_ROOT}")
endfunction()

# ostrel_add_test(<exe> SOURCES ... LIBS ...): one test executable, one ctest entry.
function(ostrel_add_test exe)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${exe} ${T_SOURCES})
  target_link_libraries(${exe} PRIVATE ${T_LIBS} ${OSTREL_GTEST_LIBS})
  ostrel_test_definitions(${exe})
  ostrel_sanitize(${exe})
  if(OSTREL_WINDOWS)
    # A console exe, so gtest prints; Wine runs it through the emulator.
    target_link_libraries(${exe} PRIVATE comctl32 comdlg32 ole32 oleaut32 shell32 shlwapi uuid)
  endif()
  add_test(NAME ${exe} COMMAND ${exe} --gtest_color=no)
  set_tests_properties(${exe} PROPERTIES TIMEOUT 900)
  # The Windows tests share one display, one pointer, one foreground window
  # and one clipboard. Those that show windows, move the pointer or use the
  # clipboard run one at a time (and apart from the end-to-end tests, which
  # take the same lock); the others run beside them.
  if(OSTREL_WINDOWS AND exe MATCHES "^((article|book|common|import|japanese_capture)_win_tests|ui_tests)$")
    set_tests_properties(${exe} PROPERTIES RESOURCE_LOCK ostrel_display)
  endif()
endfunction()

function(ostrel_subsystem name)
  cmake_parse_arguments(S "" "" "DEPENDS;WIN_LIBS;EXE_OBJECTS;SUBFOLDERS" ${ARGN})
  set(portable "")
  set(portable_tests "")
  set(win_sources "")
  set(win_tests "")
  foreach(dir ${CMAKE_CURRENT_SOURCE_DIR} ${S_SUBFOLDERS})
    cmake_path(ABSOLUTE_PATH dir BASE_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR})
    file(GLOB found CONFIGURE_DEPENDS ${dir}/*.cpp)
    list(APPEND portable ${found})
    file(GLOB found CONFIGURE_DEPENDS ${dir}/tests/*.cpp)
    list(APPEND portable_tests ${found})
    file(GLOB found CONFIGURE_DEPENDS ${dir}/win/*.cpp)
    list(APPEND win_sources ${found})
    file(GLOB found CONFIGURE_DEPENDS ${dir}/win/tests/*.cpp)
    list(APPEND win_tests ${found})
  endforeach()

  set(deps "")
  set(bench_deps "")
  foreach(d ${S_DEPENDS})
    list(APPEND deps ostrel_${d})
    list(APPEND bench_deps ostrel_${d}_bench)
  endforeach()

  # An interface library when the folder has no portable sources yet, so
  # dependants can always link ostrel_<name>.
  if(portable)
    add_library(ostrel_${name} STATIC ${portable})
    target_include_directories(ostrel_${name} PUBLIC ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR})
    target_link_libraries(ostrel_${name} PUBLIC ${deps} ZLIB::ZLIB)
    ostrel_sanitize(ostrel_${name})
  else()
    add_library(ostrel_${name} INTERFACE)
    target_include_directories(ostrel_${name} INTERFACE ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR})
    target_link_libraries(ostrel_${name} INTERFACE ${deps} ZLIB::ZLIB)
  endif()

  if(NOT OSTREL_WINDOWS AND OSTREL_BENCHMARKS AND NOT OSTREL_SANITIZE)
    add_library(ostrel_${name}_bench ALIAS ostrel_${name})
  elseif(NOT OSTREL_WINDOWS AND OSTREL_BENCHMARKS)
    if(portable)
      add_library(ostrel_${name}_bench STATIC EXCLUDE_FROM_ALL ${portable})
      target_include_directories(ostrel_${name}_bench PUBLIC ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR})
      target_link_libraries(ostrel_${name}_bench PUBLIC ${bench_deps} ZLIB::ZLIB)
      target_compile_options(ostrel_${name}_bench PRIVATE -O2)
      target_compile_definitions(ostrel_${name}_bench PRIVATE NDEBUG)
    else()
      add_library(ostrel_${name}_bench INTERFACE)
      target_include_directories(ostrel_${name}_bench INTERFACE ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR})
      target_link_libraries(ostrel_${name}_bench INTERFACE ${bench_deps} ZLIB::ZLIB)
    endif()
  endif()

  # Object files as link items reach the link of every dependent executable
  # and are never archived into the static library itself.
  foreach(o ${S_EXE_OBJECTS})
    foreach(t ostrel_${name} ostrel_${name}_bench)
      if(TARGET ${t})
        get_target_property(aliased ${t} ALIASED_TARGET)
        if(NOT aliased)
          target_link_libraries(${t} INTERFACE $<TARGET_OBJECTS:${o}>)
          add_dependencies(${t} ${o})
        endif()
      endif()
    endforeach()
  endforeach()

  if(portable_tests)
    ostrel_add_test(${name}_tests SOURCES ${portable_tests} LIBS ostrel_${name})
  endif()

  if(OSTREL_WINDOWS)
    set(win_deps "")
    foreach(d ${S_DEPENDS})
      if(TARGET ostrel_${d}_win)
        list(APPEND win_deps ostrel_${d}_win)
      endif()
    endforeach()
    if(win_sources)
      add_library(ostrel_${name}_win STATIC ${win_sources})
      target_link_libraries(ostrel_${name}_win PUBLIC ostrel_${name} ${win_deps} ${S_WIN_LIBS})
    endif()
    if(win_tests)
      set(libs ostrel_${name})
      if(win_sources)
        set(libs ostrel_${name}_win)
      endif()
      ostrel_add_test(${name}_win_tests SOURCES ${win_tests} LIBS ${libs} ${win_deps})
    endif()
  endif()
endfunction()

# ostrel_benchmark(<name> SOURCES ... SUBSYSTEMS ...): a Google Benchmark
# executable linked against the optimised, unsanitized copies of the libraries.
function(ostrel_benchmark name)
  cmake_parse_arguments(B "" "" "SOURCES;SUBSYSTEMS;LIBS" ${ARGN})
  if(OSTREL_WINDOWS OR NOT OSTREL_BENCHMARKS)
    return()
  endif()
  set(libs "")
  foreach(s ${B_SUBSYSTEMS})
    list(APPEND libs ostrel_${s}_bench)
  endforeach()
  add_executable(${name} ${B_SOURCES})
  target_compile_options(${name} PRIVATE -O2)
  target_compile_definitions(${name} PRIVATE NDEBUG)
  ostrel_test_definitions(${name})
  target_link_libraries(${name} PRIVATE ${libs} ${B_LIBS} benchmark::benchmark)
endfunction()
