#!/usr/bin/env bash
# Draws the module's artwork with ImageMagick: the configuration dialog's banner (banner.jpg,
# resource 1004), the module icon (module.ico, 128) and the panel icon (panel.ico, 183).
# The generated files are committed, so a build never needs ImageMagick; rerun this script
# after changing the drawing.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
convert=/usr/bin/convert

# Banner: a dusk sky over a dark instrument panel, seven-segment style digits and the name.
"$convert" -size 480x64 gradient:'#0b2a4a'-'#3f7fb5' \
  -fill '#1d1f22' -draw 'rectangle 0,44 479,63' \
  -fill '#0a0a0a' -draw 'roundrectangle 300,10 468,38 4,4' \
  -font DejaVu-Sans-Mono-Bold -pointsize 22 -fill '#ff3b1f' -annotate +312+32 '118.25' \
  -fill '#39d353' -draw 'circle 20,54 24,54' -fill '#f5c518' -draw 'circle 40,54 44,54' \
  -fill '#ff3b1f' -draw 'circle 60,54 64,54' \
  -font DejaVu-Sans-Bold -pointsize 20 -fill white -annotate +14+30 'Tarnell' \
  -font DejaVu-Sans -pointsize 13 -fill '#d8e6f3' -annotate +104+30 'Multi Function Panel' \
  -quality 90 banner.jpg

# Module icon: a blue rounded square with a white "T" and a red display bar.
icon_module() {
  local size=$1
  "$convert" -size "${size}x${size}" xc:none \
    -fill '#1f5f99' -draw "roundrectangle 0,0 $((size-1)),$((size-1)) $((size/6)),$((size/6))" \
    -fill white -draw "rectangle $((size*2/10)),$((size*2/10)) $((size*8/10)),$((size*33/100))" \
    -draw "rectangle $((size*43/100)),$((size*2/10)) $((size*57/100)),$((size*85/100))" \
    -fill '#ff3b1f' -draw "rectangle $((size*15/100)),$((size*9/10)) $((size*85/100)),$((size*94/100))" \
    "module-$size.png"
}
# Panel icon: a dark panel face with two digits, three LEDs and a switch.
icon_panel() {
  local size=$1
  "$convert" -size "${size}x${size}" xc:none \
    -fill '#2b2f36' -draw "roundrectangle 0,$((size/8)) $((size-1)),$((size*7/8)) $((size/10)),$((size/10))" \
    -fill '#0a0a0a' -draw "rectangle $((size/8)),$((size/4)) $((size*7/8)),$((size/2))" \
    -fill '#ff3b1f' -draw "rectangle $((size*2/8)),$((size*5/16)) $((size*3/8)),$((size*7/16))" \
    -draw "rectangle $((size*5/8)),$((size*5/16)) $((size*6/8)),$((size*7/16))" \
    -fill '#39d353' -draw "rectangle $((size/8)),$((size*5/8)) $((size*2/8)),$((size*6/8))" \
    -fill '#f5c518' -draw "rectangle $((size*3/8)),$((size*5/8)) $((size*4/8)),$((size*6/8))" \
    -fill '#c8c8c8' -draw "rectangle $((size*5/8)),$((size*9/16)) $((size*7/8)),$((size*13/16))" \
    "panel-$size.png"
}
for size in 16 32 48; do icon_module "$size"; icon_panel "$size"; done
"$convert" module-16.png module-32.png module-48.png module.ico
"$convert" panel-16.png panel-32.png panel-48.png panel.ico
rm -f module-*.png panel-*.png
echo "resources: banner.jpg module.ico panel.ico written"
