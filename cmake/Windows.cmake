# Windows build (MinGW): the program and the tests run under Wine.
enable_language(RC)

add_library(skarnvale_win STATIC
  src/app/Divers.cpp
  src/app/FileErrorBox.cpp
  src/app/ihmMain.cpp
  src/app/ihmMainSession.cpp
  src/app/ihmMainSettings.cpp
  src/app/ihmMainStatus.cpp
  src/app/ihmMainTray.cpp
  src/app/QuitRequest.cpp
  src/app/StartWithWindows.cpp
  src/app/SystemWindows.cpp
  src/forms/ihmAbout.cpp
  src/forms/ihmAppList.cpp
  src/forms/ihmAppListRules.cpp
  src/forms/ihmRuleEditor.cpp
  src/forms/ihmRules.cpp
  src/forms/ihmRulesTexts.cpp
  src/forms/PopupRulesHost.cpp
  src/forms/ihmMailbox.cpp
  src/forms/ihmMailboxGrid.cpp
  src/forms/ihmMailboxMenu.cpp
  src/forms/ihmQuarantine.cpp
  src/forms/ihmQuarantineActions.cpp
  src/forms/ihmVideo.cpp
  src/framework/Animate.cpp
  src/framework/AnsiCodePage.cpp
  src/framework/CanvasText.cpp
  src/framework/CaseFold.cpp
  src/framework/CodePage.cpp
  src/framework/Application.cpp
  src/framework/Container.cpp
  src/framework/Controls.cpp
  src/framework/DataFolder.cpp
  src/framework/Dialogs.cpp
  src/framework/Dpapi.cpp
  src/framework/Dpi.cpp
  src/framework/FileDialog.cpp
  src/framework/FineTimer.cpp
  src/framework/Files.cpp
  src/framework/FolderFiles.cpp
  src/framework/GridButtonsLayout.cpp
  src/framework/Font.cpp
  src/framework/Form.cpp
  src/framework/GraphicControl.cpp
  src/framework/IconImage.cpp
  src/framework/InputQuery.cpp
  src/framework/ListGrid.cpp
  src/framework/ListBoxColumns.cpp
  src/framework/ModalForm.cpp
  src/framework/Icon.cpp
  src/framework/ImageList.cpp
  src/framework/Locale.cpp
  src/framework/WideText.cpp
  src/framework/PageControl.cpp
  src/framework/PopupMenu.cpp
  src/framework/MenuItemDraw.cpp
  src/framework/Registry.cpp
  src/framework/ShellOpen.cpp
  src/framework/Splitter.cpp
  src/framework/StartupEntry.cpp
  src/framework/SystemRandom.cpp
  src/framework/StdControls.cpp
  src/framework/Timer.cpp
  src/framework/ThreadTimer.cpp
  src/framework/WinEventHook.cpp
  src/framework/Window.cpp
  src/model/unitProcessKillFile.cpp
  src/model/unitProcessKillWatch.cpp
  src/model/unitProcessKillWatchTick.cpp
  src/model/unitProcessPopupActions.cpp
  src/model/unitProcessPopupRuleFile.cpp
  src/model/unitProcessWindowFacts.cpp
  src/model/unitProcessShell.cpp
  src/model/unitProcessWindows.cpp
  src/net/HttpsPost.cpp
  src/imap/ImapSession.cpp
  src/oauth/OAuthSignIn.cpp
  src/net/Pop3Prot.cpp
  src/net/Pop3ProtCommands.cpp
  src/net/Pop3ProtPipeline.cpp
  src/net/Pop3ProtPump.cpp
  src/net/Pop3ProtAuth.cpp
  src/net/Pop3ProtStls.cpp
  src/net/Pop3Sync.cpp
  src/net/WSocketConnect.cpp
  src/net/WSocketCustom.cpp
  src/net/WSocketLine.cpp
  src/net/WSocketListen.cpp
  src/net/WSocketLoader.cpp
  src/net/WSocketResolve.cpp
  src/net/WSocketSync.cpp
  src/net/WSocketTls.cpp
  src/net/WSocketTlsCert.cpp
  src/net/TlsRevocation.cpp
  src/net/WSocketTlsHandshake.cpp
  src/net/WSocketTransfer.cpp
  src/settings/ihmOptions.cpp
  src/settings/ihmOptionsEvents.cpp
  src/settings/ihmOptionsSettings.cpp
  src/settings/ihmOptionsSignIn.cpp
  src/settings/SettingsStore.cpp
  src/settings/ihmOptionsDraft.cpp
  src/settings/SettingsStoreLists.cpp
  src/mail/MailCheck.cpp
  src/mail/MailCheckRead.cpp
  src/mail/MailDelete.cpp
  src/mail/MailImap.cpp
  src/mail/MailImapSpam.cpp
  src/mail/MailImapIdle.cpp
  src/mail/MailImapIdleNews.cpp
  src/mail/MailDeleteSteps.cpp
  src/mail/MailLog.cpp
  src/mail/MailOAuth.cpp
  src/mail/MailStatus.cpp
  src/mail/SpamDelete.cpp
  src/mail/MailQuarantine.cpp
  src/settings/ihmOptionsTexts.cpp
  src/widgets/TBNArea.cpp
  src/framework/MenuPopup.cpp
  src/widgets/BarMenus.cpp
  src/widgets/BarMenusDraw.cpp
  src/widgets/BarMenusPaint.cpp
  src/widgets/LCD_Lab.cpp
  src/widgets/LCD_LabPaint.cpp
  src/widgets/LED.cpp
  src/widgets/LEDBitmap.cpp
  src/widgets/UrlLabel.cpp
)
target_compile_definitions(skarnvale_win PUBLIC WINVER=0x0501 _WIN32_WINNT=0x0501 NOMINMAX SECURITY_WIN32)
target_compile_options(skarnvale_win PRIVATE -Wall -Wextra)
target_link_libraries(skarnvale_win PUBLIC skarnvale_core winmm comctl32 gdi32 user32 shell32 wsock32 comdlg32 secur32 crypt32 cryptnet)
# The project's version, for the version resource and the tests that read it.
configure_file(resources/Version.h.in ${CMAKE_BINARY_DIR}/generated/Version.h @ONLY)
target_include_directories(skarnvale_win PUBLIC ${CMAKE_BINARY_DIR}/generated)

add_executable(SkarnVale WIN32 src/app/SkarnVale.cpp resources/SkarnVale.rc)
target_link_libraries(SkarnVale PRIVATE skarnvale_win)
target_link_options(SkarnVale PRIVATE -static -s)
set_source_files_properties(resources/SkarnVale.rc PROPERTIES
  OBJECT_DEPENDS "${CMAKE_BINARY_DIR}/generated/Version.h;${CMAKE_SOURCE_DIR}/resources/SkarnVale.manifest;${CMAKE_SOURCE_DIR}/resources/icons/mainicon.ico;${CMAKE_SOURCE_DIR}/resources/icons/menu_quit.ico;${CMAKE_SOURCE_DIR}/resources/pictures/led_pics.bmp;${CMAKE_SOURCE_DIR}/resources/pictures/bar_pic.bmp")

# The Windows tests and the end-to-end helper exist in both architectures:
# the i686 ones run under 32-bit Wine, beside the release they test.
set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
add_subdirectory(${GOOGLETEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
include(GoogleTest)

file(GLOB WIN_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/win/*.cpp)
add_executable(win_tests ${WIN_TEST_SOURCES} resources/SkarnVale.rc)
target_link_libraries(win_tests PRIVATE skarnvale_win GTest::gtest_main version)
add_dependencies(win_tests SkarnVale wintool)
target_link_options(win_tests PRIVATE -static)
gtest_discover_tests(win_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
  PROPERTIES TIMEOUT 60 LABELS wine)

add_executable(wintool tests/e2e/wintool.cpp)
target_link_libraries(wintool PRIVATE user32 gdi32 crypt32 shell32)
target_link_options(wintool PRIVATE -static)

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  add_executable(bench_kill_lookup_wine bench/kill_lookup_bench.cpp bench/kill_lookup_win.cpp)
  target_link_libraries(bench_kill_lookup_wine PRIVATE skarnvale_win)
  target_link_options(bench_kill_lookup_wine PRIVATE -static)
  add_executable(bench_mail_decode_wine bench/mail_decode_bench.cpp bench/mail_decode_win.cpp)
  target_link_libraries(bench_mail_decode_wine PRIVATE skarnvale_win)
  target_link_options(bench_mail_decode_wine PRIVATE -static)
  add_executable(bench_window_probe bench/window_probe.cpp)
  target_link_libraries(bench_window_probe PRIVATE user32)
  target_link_options(bench_window_probe PRIVATE -static)
  add_executable(bench_kill_latency_wine bench/kill_latency_wine.cpp resources/SkarnVale.rc)
  target_link_libraries(bench_kill_latency_wine PRIVATE skarnvale_win)
  target_link_options(bench_kill_latency_wine PRIVATE -static)
  add_executable(bench_popup_latency_wine bench/popup_latency_wine.cpp resources/SkarnVale.rc)
  target_link_libraries(bench_popup_latency_wine PRIVATE skarnvale_win)
  target_link_options(bench_popup_latency_wine PRIVATE -static)
  add_executable(bench_popup_sweep_wine bench/popup_sweep_wine.cpp resources/SkarnVale.rc)
  target_link_libraries(bench_popup_sweep_wine PRIVATE skarnvale_win)
  target_link_options(bench_popup_sweep_wine PRIVATE -static)
  add_executable(bench_mail_check_wine bench/mail_check_wine.cpp resources/SkarnVale.rc)
  target_link_libraries(bench_mail_check_wine PRIVATE skarnvale_win psapi wsock32)
  target_link_options(bench_mail_check_wine PRIVATE -static)
  add_executable(bench_spam_cycle_wine bench/spam_cycle_wine.cpp resources/SkarnVale.rc)
  target_link_libraries(bench_spam_cycle_wine PRIVATE skarnvale_win wsock32)
  target_link_options(bench_spam_cycle_wine PRIVATE -static)
endif()
