# The test suites of the Windows build: GoogleTest built from Debian's
# sources by the cross compiler, each suite one test that runs its program
# under Wine (scripts/windows_session.sh gives them a display and a Wine
# prefix of the build tree).
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
foreach(target gtest gtest_main gmock gmock_main)
  # Its warnings are not ours to fix.
  target_compile_options(${target} PRIVATE -w)
endforeach()

# The suites that make sense on Windows so far.
set(MORV_WINDOWS_SUITES platform app settings compose mail mapi smtp workers host_api delivery ui host)

# What needs what Windows has not, or what this build has not yet.
# Programs of the Linux side (the openssl command, Python and aiosmtpd)
# are started through Wine.
set(MORV_UNPORTED_SUPPORT ${CMAKE_CURRENT_SOURCE_DIR}/support/aiosmtpd_server.cpp)
set(MORV_WINDOWS_SUPPORT
  ${CMAKE_CURRENT_SOURCE_DIR}/support/windows/aiosmtpd_server.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/support/windows/unix_process.cpp)
set(MORV_UNPORTED_TESTS
  # the shared store of trusted certificates is OpenSSL's, Linux's
  ${CMAKE_CURRENT_SOURCE_DIR}/smtp/trust_store_test.cpp
  # what a Linux command writes, read through popen (no Linux shell there)
  ${CMAKE_CURRENT_SOURCE_DIR}/delivery/real_server_test.cpp
  # glibc's iconv as the reference recoder
  ${CMAKE_CURRENT_SOURCE_DIR}/mail/cyrillic_recoder_test.cpp
  # the Linux loader's stand-in (Windows has the system's) and the
  # sendmail-backed provider, a Linux program's
  ${CMAKE_CURRENT_SOURCE_DIR}/mapi/library_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/mapi/mail_text_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/mapi/sendmail_provider_test.cpp
  # morv-host run as a process with fork and pipes, the page driven in tmux,
  # the loopback server over POSIX sockets: the project file, the texts and
  # the outcome tracker run there
  ${CMAKE_CURRENT_SOURCE_DIR}/host/bash_completion_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/host/check_command_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/host/check_server_command_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/host/config_command_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/host/config_page_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/host/demo_command_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/host/help_and_usage_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/host/list_command_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/host/send_command_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/host/loopback_smtp_server_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/host/host_cli_fixture.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/host/host_process.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/host/tmux_terminal.cpp)

# Each program's main starts Winsock, as a host does.
add_library(morv_windows_test_main OBJECT support/windows/test_main.cpp)
target_link_libraries(morv_windows_test_main PRIVATE morvplatform GTest::gtest)

# Starts the Linux programs the tests run (support/windows/unix_process.h).
add_executable(unix_launcher support/windows/unix_launcher.cpp)

set(MORV_WINE_RUN ${CMAKE_CURRENT_SOURCE_DIR}/scripts/wine_run.sh)
set(MORV_WINE_PREFIX ${PROJECT_BINARY_DIR}/wine-prefix)

function(morv_add_windows_suite suite)
  target_link_libraries(test_${suite} PRIVATE morv_windows_test_main)
  add_dependencies(test_${suite} unix_launcher)
  add_test(NAME ${suite} COMMAND ${MORV_WINE_RUN} ${MORV_WINE_PREFIX} $<TARGET_FILE:test_${suite}>)
  set_tests_properties(${suite} PROPERTIES TIMEOUT 600)
endfunction()
