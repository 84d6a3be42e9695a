# What the browser test and the native pictures share about the farm's first frames (run.sh
# hands both figures to browser_test.js).
# The farm's water and shores step together through three pictures, one every 183 ms
# (tools/maps/FarmTiles.tsx): a picture of the farm at rest is one of three.
WATER_STEPS=3
# The measured FPS figure (x0,y0 x1,y1), a different number in every run, natively too.
FPS_FIGURE="27,288 120,301"

# mask_fps IN OUT: the picture IN with the FPS figure painted black, as OUT.
mask_fps() {
    convert "$1" -fill black -draw "rectangle $FPS_FIGURE" "$2"
}
