#!/bin/sh
# Draws Quimbro's icon (16 x 16 and 32 x 32, 256 colours) and the window's logo (a bitmap).
# Run from this folder; the results are kept beside it.
set -eu

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# The icon: a white Q on a blue rounded square.
for size in 16 32; do
    stroke=$((size / 8))
    inset=$((size / 4))
    convert -size "${size}x${size}" xc:none \
        -fill '#1f4e99' -draw "roundrectangle 0,0 $((size - 1)),$((size - 1)) $((size / 5)),$((size / 5))" \
        -fill none -stroke white -strokewidth "$stroke" \
        -draw "circle $((size / 2)),$((size / 2)) $((size / 2)),$inset" \
        -draw "line $((size * 9 / 16)),$((size * 9 / 16)) $((size - inset + stroke)),$((size - inset + stroke))" \
        -background '#1f4e99' -alpha remove -colors 256 -depth 8 "rgb:$tmp/q$size.rgb"
done
python3 pack-icon.py Quimbro.ico "16:$tmp/q16.rgb" "32:$tmp/q32.rgb"

# The logo: the company's name under a blue band with the product's initial. Drawn at twice
# its size at 96 DPI (129 x 89), so it stays sharp when the window scales it up or down, and
# kept as a run-length encoded 8-bit bitmap that GDI draws as it is.
convert -size 258x178 xc:white \
    -fill '#1f4e99' -draw 'rectangle 0,0 257,117' \
    -fill none -stroke white -strokewidth 10 -draw 'circle 128.5,58.5 128.5,20.5' \
    -draw 'line 140.5,70.5 164.5,94.5' \
    -stroke none -fill '#1f4e99' -font DejaVu-Sans-Bold -pointsize 30 \
    -gravity south -annotate +0+16 'VANTOREL' \
    -colors 256 -type palette -compress RLE BMP3:Logo.bmp
