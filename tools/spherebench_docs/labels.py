"""Places the labels of tools/plot_path.gp so that none overlaps another, a
marked airport, the flight path or another label's leader line. Each label
goes to the first free spot of a widening ring around its airport; one set
away from its airport gets a leader line. Works in the picture's pixels,
from the plot area and ranges that plot_path.gp fixes for the map or the
inset."""
import math

WIDTH, HEIGHT = 1600, 900
CHAR_WIDTH, LABEL_HEIGHT, PAD, DOT = 5.6, 11, 2, 4
ANGLES = (0, 180, 20, -20, 160, -160, 40, -40, 140, -140, 60, -60, 120, -120, 80, -80, 100, -100)
RADII = (7, 14, 22, 32, 44, 58, 74, 92, 112, 134, 158, 184, 212, 242, 274)


class NoRoom(Exception):
    """A label that fits nowhere."""


class Frame:
    """area: the plot area (left, right, bottom, top) in screen fractions;
    ranges: its (lon0, lon1, lat0, lat1)."""

    def __init__(self, area, ranges):
        self.left, self.right = area[0] * WIDTH, area[1] * WIDTH
        self.bottom, self.top = (1 - area[2]) * HEIGHT, (1 - area[3]) * HEIGHT
        self.lon_min, self.lon_max, self.lat_min, self.lat_max = ranges

    def px(self, lon):
        return self.left + (lon - self.lon_min) / (self.lon_max - self.lon_min) * (self.right - self.left)

    def py(self, lat):
        return self.bottom - (lat - self.lat_min) / (self.lat_max - self.lat_min) * (self.bottom - self.top)

    def lon_of(self, x):
        return self.lon_min + (x - self.left) / (self.right - self.left) * (self.lon_max - self.lon_min)

    def lat_of(self, y):
        return self.lat_min + (self.bottom - y) / (self.bottom - self.top) * (self.lat_max - self.lat_min)


def segment_meets_box(xa, ya, xb, yb, box):
    x0, y0, x1, y1 = box
    for k in range(21):
        t = k / 20
        x, y = xa + t * (xb - xa), ya + t * (yb - ya)
        if x0 - PAD < x < x1 + PAD and y0 - PAD < y < y1 + PAD:
            return True
    return False


class Placer:
    def __init__(self, frame):
        self.frame, self.boxes, self.obstacles, self.leaders = frame, [], [], []

    def box_is_free(self, box):
        f, (x0, y0, x1, y1) = self.frame, box
        if x0 < f.left or x1 > f.right or y0 < f.top or y1 > f.bottom:
            return False
        if any(x0 < b[2] + PAD and x1 > b[0] - PAD and y0 < b[3] + PAD and y1 > b[1] - PAD for b in self.boxes):
            return False
        if any(x0 - r < ox < x1 + r and y0 - r < oy < y1 + r for ox, oy, r in self.obstacles):
            return False
        return not any(segment_meets_box(*leader, box) for leader in self.leaders)

    def leader_is_free(self, xa, ya, xb, yb):
        return not any(segment_meets_box(xa, ya, xb, yb, b) for b in self.boxes)

    def place(self, lon, lat, text):
        """(anchor lon, anchor lat, align, leader) of the label's first free spot."""
        x, y = self.frame.px(lon), self.frame.py(lat)
        w = len(text.encode()) * CHAR_WIDTH
        for radius in RADII:
            for angle in ANGLES:
                t = angle * 3.141592653589793 / 180
                ax, ay = x + radius * math.cos(t), y - radius * math.sin(t)
                align = "left" if math.cos(t) >= -1e-9 else "right"
                x0 = ax if align == "left" else ax - w
                box = (x0, ay - LABEL_HEIGHT / 2, x0 + w, ay + LABEL_HEIGHT / 2)
                leader = radius > 10
                if not self.box_is_free(box) or (leader and not self.leader_is_free(x, y, ax, ay)):
                    continue
                self.boxes.append(box)
                if leader:
                    self.leaders.append((x, y, ax, ay))
                return self.frame.lon_of(ax), self.frame.lat_of(ay), align, leader
        raise NoRoom("no room for the label " + text)


def place_labels(area, ranges, box, inside, path, listed):
    """Label lines "lon lat x y align leader "label"" for the listed airports
    inside the box (lon0, lon1, lat0, lat1), or outside it when not inside.
    path: (lon, lat) of the flight line's points, obstacles; listed: (lon
    text, lat text, label) of the airports the report lists, in order, every
    one an obstacle."""
    placer = Placer(Frame(area, ranges))
    f = placer.frame
    placer.obstacles += [(f.px(lon), f.py(lat), 1.5) for lon, lat in path]
    chosen = []
    for lon, lat, label in listed:
        placer.obstacles.append((f.px(float(lon)), f.py(float(lat)), DOT))
        within = box[0] <= float(lon) <= box[1] and box[2] <= float(lat) <= box[3]
        if within == inside:
            chosen.append((lon, lat, label))
    lines = []
    for lon, lat, label in chosen:
        x, y, align, leader = placer.place(float(lon), float(lat), label)
        lines.append('%s %s %.4f %.4f %s %d "%s"' % (lon, lat, x, y, align, leader, label))
    return lines
