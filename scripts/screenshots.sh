#!/usr/bin/env bash
# Makes the README's pictures again: the desktop, language and console GUI tests under Xvfb (a real X
# window), their pictures copied to docs/. Uses the test suite's build folder (build-asan), building the test when needed.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-asan}
cmake --build "$build" --target desktop_gui_test language_gui_test console_gui_test >/dev/null
export ASAN_OPTIONS="detect_leaks=0:${ASAN_OPTIONS:-}"
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x1024x24" \
  "$build/bin/desktop_gui_test" --gtest_filter='DesktopGui.Screenshots'
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x1024x24" \
  "$build/bin/language_gui_test" --gtest_filter='Language.EnglishLeavesNoChinese*'
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x1024x24" \
  "$build/bin/console_gui_test" --gtest_filter='Console.TheHexViewShowsBothDirections'
mkdir -p docs
cp "$build/test-artifacts/desktop_main_window.png" docs/main_window.png
cp "$build/test-artifacts/desktop_file_dialog.png" docs/file_dialog.png
cp "$build/test-artifacts/desktop_backup_dialog.png" docs/backup_dialog.png
cp "$build/test-artifacts/main_window_en.png" docs/main_window_en.png
cp "$build/test-artifacts/console_hex_search.png" docs/hex_view.png
echo "docs/main_window.png docs/file_dialog.png docs/backup_dialog.png docs/main_window_en.png docs/hex_view.png"
