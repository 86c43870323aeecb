# Places the labels of tools/plot_path.gp so that none overlaps another, a
# marked airport, the flight path or another label's leader line. Each label
# goes to the first free spot of a widening ring around its airport; one set
# away from its airport gets a leader line. Works in the picture's pixels,
# from the plot area and ranges that plot_path.gp fixes for the map or the
# inset, passed as variables:
#
#   awk -v area=LEFT,RIGHT,BOTTOM,TOP -v ranges=LON0,LON1,LAT0,LAT1 \
#       -v box=LON0,LON1,LAT0,LAT1 -v inside=1|0 -f place_labels.awk path.dat listed.dat
#       area        the plot area in screen fractions of the 1600x900 picture
#       ranges      its longitude and latitude ranges
#       box, inside label the airports inside the box (1) or outside it (0)
#       path.dat    lon lat          the flight line's points (obstacles)
#       listed.dat  lon lat "label"  the airports the report lists, in order
# Prints one line per label: "lon lat x y align leader label", x y the
# label's anchor in plot coordinates, align left or right, leader 1 when a
# line joins label and airport.
BEGIN {
    width = 1600; height = 900
    split(area, plot_area, ","); split(ranges, range, ","); split(box, label_box, ",")
    left = plot_area[1] * width; right = plot_area[2] * width
    bottom = (1 - plot_area[3]) * height; top = (1 - plot_area[4]) * height
    lon_min = range[1]; lon_max = range[2]; lat_min = range[3]; lat_max = range[4]
    char_width = 5.6; label_height = 11; pad = 2; dot = 4
    n_boxes = 0; n_obstacles = 0; n_leaders = 0
}
function px(lon) { return left + (lon - lon_min) / (lon_max - lon_min) * (right - left) }
function py(lat) { return bottom - (lat - lat_min) / (lat_max - lat_min) * (bottom - top) }
function lon_of(x) { return lon_min + (x - left) / (right - left) * (lon_max - lon_min) }
function lat_of(y) { return lat_min + (bottom - y) / (bottom - top) * (lat_max - lat_min) }
function add_obstacle(x, y, r) { n_obstacles++; ox[n_obstacles] = x; oy[n_obstacles] = y; orad[n_obstacles] = r }
# True when the box x0..x1, y0..y1 is inside the plot and touches nothing placed.
function box_is_free(x0, y0, x1, y1,    i) {
    if (x0 < left || x1 > right || y0 < top || y1 > bottom) return 0
    for (i = 1; i <= n_boxes; i++)
        if (x0 < bx1[i] + pad && x1 > bx0[i] - pad && y0 < by1[i] + pad && y1 > by0[i] - pad) return 0
    for (i = 1; i <= n_obstacles; i++)
        if (ox[i] > x0 - orad[i] && ox[i] < x1 + orad[i] && oy[i] > y0 - orad[i] && oy[i] < y1 + orad[i]) return 0
    for (i = 1; i <= n_leaders; i++)
        if (segment_meets_box(lx0[i], ly0[i], lx1[i], ly1[i], x0, y0, x1, y1)) return 0
    return 1
}
function segment_meets_box(xa, ya, xb, yb, x0, y0, x1, y1,    k, t, x, y) {
    for (k = 0; k <= 20; k++) {
        t = k / 20; x = xa + t * (xb - xa); y = ya + t * (yb - ya)
        if (x > x0 - pad && x < x1 + pad && y > y0 - pad && y < y1 + pad) return 1
    }
    return 0
}
# True when a leader from the airport to the label's anchor crosses no label.
function leader_is_free(xa, ya, xb, yb,    i) {
    for (i = 1; i <= n_boxes; i++)
        if (segment_meets_box(xa, ya, xb, yb, bx0[i], by0[i], bx1[i], by1[i])) return 0
    return 1
}
FNR == 1 { file++ }
file == 1 { add_obstacle(px($1), py($2), 1.5); next }
file == 2 {
    add_obstacle(px($1), py($2), dot)
    if (($1 >= label_box[1] && $1 <= label_box[2] && $2 >= label_box[3] && $2 <= label_box[4]) != inside) next
    n++; lon[n] = $1; lat[n] = $2
    text[n] = $0; sub(/^[^"]*"/, "", text[n]); sub(/"$/, "", text[n])
}
END {
    split("0 180 20 -20 160 -160 40 -40 140 -140 60 -60 120 -120 80 -80 100 -100", angles, " ")
    split("7 14 22 32 44 58 74 92 112 134 158 184 212 242 274", radii, " ")
    for (k = 1; k <= n; k++) {
        x = px(lon[k]); y = py(lat[k])
        w = length(text[k]) * char_width
        placed = 0
        for (r = 1; r in radii && !placed; r++) {
            for (a = 1; a in angles && !placed; a++) {
                t = angles[a] * 3.141592653589793 / 180
                ax = x + radii[r] * cos(t); ay = y - radii[r] * sin(t)
                align = cos(t) >= -1e-9 ? "left" : "right"
                x0 = align == "left" ? ax : ax - w; x1 = x0 + w
                y0 = ay - label_height / 2; y1 = ay + label_height / 2
                leader = radii[r] > 10
                if (!box_is_free(x0, y0, x1, y1)) continue
                if (leader && !leader_is_free(x, y, ax, ay)) continue
                placed = 1
            }
        }
        if (!placed) { printf "place_labels.awk: no room for %s\n", text[k] > "/dev/stderr"; exit 1 }
        n_boxes++; bx0[n_boxes] = x0; bx1[n_boxes] = x1; by0[n_boxes] = y0; by1[n_boxes] = y1
        if (leader) { n_leaders++; lx0[n_leaders] = x; ly0[n_leaders] = y; lx1[n_leaders] = ax; ly1[n_leaders] = ay }
        printf "%s %s %.4f %.4f %s %d \"%s\"\n", lon[k], lat[k], lon_of(ax), lat_of(ay), align, leader, text[k]
    }
}
