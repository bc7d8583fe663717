#!/usr/bin/env bash
# Copies the pictures the tests take of Yorunel's windows, cropped to the
# windows, into docs/screenshots for the README. Run after the tests.
set -euo pipefail
cd "$(dirname "$0")/.."
from=build/win64/screenshots
to=docs/screenshots
mkdir -p "$to"
crop() { convert "$from/$1.png" -crop "$3" +repage "$to/$2.png"; }
# The settings dialog lies centred on the 1024 x 768 test display.
for page in version hotkeys hotkeys2 wallpaper more panic mouse; do
  crop "settings_$page" "settings_$page" 560x235+232+266
done
crop tray_menu_wallpapers tray_menu 200x100+505+380
crop version_page_link_hovered version_link 560x235+232+266
crop window_picker window_picker 270x220+377+274
crop settings_folder_browser folder_browser 555x415+235+270
crop settings_at_144dpi settings_144dpi 830x340+97+214
# The help page travels alone in the zip: its picture of the detail page lies inside it.
picture=$(base64 -w0 "$to/settings_more.png")
sed -i "s|<img id=\"settings_more\" \([^>]*\)src=\"[^\"]*\"|<img id=\"settings_more\" \1src=\"data:image/png;base64,$picture\"|" docs/YORUNEL.html
