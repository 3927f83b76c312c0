#!/usr/bin/python3
# Draws the series a benchmark run kept (scripts/bench.sh writes them) as PNG
# pictures, and prints the path of each picture it wrote:
#   scripts/plot_bench.py SERIES_DIR OUT_DIR
# From SERIES_DIR it reads
#   frames.txt               frame_bench --series: entry, position ms, frame ms
#   clock.LABEL.txt          clock_bench --series: steady ms, position ms,
#                            position less steady ms (LABEL: the driver or server)
#   av.SETTING.PLAYER.txt    av_offset's readings: position ms, offset ms
#                            (SETTING: the server and its graph cycle, PLAYER:
#                            demo, mpv:OUTPUT or exe, tidewash.exe under Wine)
# and draws frame_times.png, clock_position.png and av_offsets.png from those
# it finds; a picture with no series to draw it from is removed from OUT_DIR,
# so that none is left from another run. Underscores in LABEL and SETTING
# stand for spaces.
# It runs on Debian's python3 (python3-matplotlib), not on a python3 that comes
# first in PATH without matplotlib.
import glob
import os
import re
import sys

import matplotlib

matplotlib.use("Agg")
from matplotlib.figure import Figure  # noqa: E402  (after choosing the backend)
from matplotlib.ticker import FormatStrFormatter  # noqa: E402

FRAME_BUDGET_MS = 1000.0 / 60.0
AV_TARGET_MS = 5.0
USAGE = "usage: scripts/plot_bench.py SERIES_DIR OUT_DIR\n"


def read_series(path):
    """The columns of a series file as lists of floats; [] when it has no rows."""
    with open(path) as series:
        rows = [line.split() for line in series if line.strip() and not line.startswith("#")]
    return [[float(value) for value in column] for column in zip(*rows)]


def natural_key(text):
    """Sorts "cycle_256" before "cycle_1024", whatever the case of the letters."""
    return [int(part) if part.isdigit() else part for part in re.split(r"(\d+)", text.lower())]


def save(figure, path):
    figure.savefig(path, dpi=100)
    print(path)


def plot_frame_times(series_path, out_path):
    """Each frame's time against its music position, one colour per schedule
    entry; False when the series has no frames."""
    columns = read_series(series_path)
    if not columns:
        return False
    entries, positions_ms, times_ms = columns
    figure = Figure(figsize=(10, 5), layout="constrained")
    axes = figure.add_subplot()
    colours = matplotlib.colormaps["tab10"]
    for entry in sorted(set(entries)):
        xs = [p / 1000 for e, p in zip(entries, positions_ms) if e == entry]
        ys = [t for e, t in zip(entries, times_ms) if e == entry]
        axes.scatter(xs, ys, s=4, color=colours(int(entry - 1) % 10), label=f"entry {int(entry)}")
    axes.axhline(FRAME_BUDGET_MS, color="black", linestyle="--", linewidth=1, label="16.7 ms (60 fps)")
    axes.set_yscale("log")
    axes.yaxis.set_major_formatter(FormatStrFormatter("%g"))
    axes.set_xlabel("music position (s)")
    axes.set_ylabel("frame time (ms, log scale)")
    axes.set_title(f"Frame time per schedule entry ({len(times_ms)} frames)")
    axes.legend(loc="upper left", bbox_to_anchor=(1.01, 1), markerscale=3)
    axes.grid(True, which="major", alpha=0.3)
    save(figure, out_path)
    return True


def clock_label(path):
    return os.path.basename(path)[len("clock."):-len(".txt")].replace("_", " ")


def settled_readings(columns):
    """(steady s, position less steady ms) of the readings from a second after
    the position first moved on (before then it waits for the device), as
    clock_bench takes its spread; [] when it never moved."""
    steady_ms, positions_ms, ahead_ms = columns
    moved = next((i for i, position in enumerate(positions_ms) if position > 0), None)
    if moved is None:
        return []
    return [(steady / 1000, ahead) for steady, ahead in zip(steady_ms, ahead_ms) if steady >= steady_ms[moved] + 1000]


def plot_clock_position(series_paths, out_path):
    """The position less the steady time over each run, one panel per driver
    or server, less the run's median so that runs with different output
    delays share the scale, with the 5th and 95th percentiles the spread is
    taken between; False when no run has a reading to draw."""
    runs = []
    for path in series_paths:
        columns = read_series(path)
        readings = settled_readings(columns) if columns else []
        if readings:
            runs.append((clock_label(path), readings))
    if not runs:
        return False
    figure = Figure(figsize=(10, 1.2 + 2.2 * len(runs)), layout="constrained")
    panels = figure.subplots(len(runs), 1, sharex=True, sharey=True, squeeze=False)[:, 0]
    for axes, (label, readings) in zip(panels, runs):
        ordered = sorted(ahead for _, ahead in readings)
        median = ordered[len(ordered) // 2]
        low, high = ordered[len(ordered) * 5 // 100] - median, ordered[len(ordered) * 95 // 100] - median
        axes.scatter([at for at, _ in readings], [ahead - median for _, ahead in readings], s=2)
        for percentile in (low, high):
            axes.axhline(percentile, color="black", linestyle="--", linewidth=0.8)
        axes.set_title(f"{label}: median {median:+.1f} ms (the wait for the device), "
                       f"5th to 95th percentile {high - low:.2f} ms apart", fontsize="medium")
        axes.set_ylabel("from its median (ms)")
        axes.grid(True, alpha=0.3)
    panels[-1].set_xlabel("steady time since playback started (s)")
    figure.suptitle("Music position less steady time, from a second after it first moved")
    save(figure, out_path)
    return True


def av_setting_and_player(path):
    setting, player = os.path.basename(path)[len("av."):-len(".txt")].split(".", 1)
    return setting, player


def av_setting_title(setting):
    cycle = re.fullmatch(r"(.*)_cycle_(\d+)", setting)
    if cycle:
        return f"{cycle.group(1)}, cycle {cycle.group(2)} frames"
    return setting.replace("_", " ")


def av_player_label(player):
    if player == "demo":
        return "the demo"
    if player == "exe":
        return "tidewash.exe under Wine"
    return f"mpv --ao={player.split(':', 1)[-1]}"


# Each player keeps its look in every panel.
AV_PLAYER_STYLES = {
    "demo": {"marker": "o", "color": "tab:blue"},
    "mpv:pulse": {"marker": "x", "color": "tab:orange"},
    "mpv:pipewire": {"marker": "+", "color": "tab:green", "markersize": 9},
    "exe": {"marker": "d", "color": "tab:red"},
}


def plot_av_offsets(series_paths, out_path):
    """The offset of every reading against its position, one panel per server
    and graph cycle with each player measured there, and the ±5 ms target;
    False when no series has a reading."""
    settings = {}
    for path in series_paths:
        setting, player = av_setting_and_player(path)
        columns = read_series(path)
        if columns:
            settings.setdefault(setting, []).append((player, columns))
    if not settings:
        return False
    names = sorted(settings, key=lambda name: (not name.startswith("PulseAudio"), natural_key(name)))
    columns_of_panels = min(2, len(names))
    rows_of_panels = (len(names) + 1) // columns_of_panels
    figure = Figure(figsize=(10, 0.8 + 3.4 * rows_of_panels), layout="constrained")
    panels = figure.subplots(rows_of_panels, columns_of_panels, sharey=True, squeeze=False).flatten()
    legend = {}
    for axes, name in zip(panels, names):
        band = axes.axhspan(-AV_TARGET_MS, AV_TARGET_MS, color="tab:green", alpha=0.12)
        legend["target ±5 ms"] = band
        axes.axhline(0, color="black", linewidth=0.6)
        for player, (positions_ms, offsets_ms) in sorted(settings[name], key=lambda pair: pair[0] != "demo"):
            (points,) = axes.plot([p / 1000 for p in positions_ms], offsets_ms, linestyle="none",
                                  **AV_PLAYER_STYLES.get(player, {"marker": "s"}))
            legend.setdefault(av_player_label(player), points)
        axes.set_title(av_setting_title(name), fontsize="medium")
        axes.set_xlabel("music position (s)")
        axes.set_ylabel("sound after position (ms)")
        axes.grid(True, alpha=0.3)
    for axes in panels[len(names):]:
        axes.set_visible(False)
    panels[0].legend(legend.values(), legend.keys(), loc="best", fontsize="small")
    figure.suptitle("A/V offset of every reading, per sound server: the sound heard after the position reported")
    save(figure, out_path)
    return True


def draw(plot, series_paths, out_path):
    """Draws a picture from its series, or removes one left from another run."""
    if series_paths and plot(series_paths, out_path):
        return
    if os.path.exists(out_path):
        os.remove(out_path)


def main(argv):
    if len(argv) == 2 and argv[1] == "--help":
        sys.stdout.write(USAGE)
        return 0
    if len(argv) != 3:
        sys.stderr.write(USAGE)
        return 2
    series_dir, out_dir = argv[1], argv[2]
    os.makedirs(out_dir, exist_ok=True)

    def series(pattern):
        return sorted(glob.glob(os.path.join(series_dir, pattern)), key=natural_key)

    draw(lambda paths, out: plot_frame_times(paths[0], out), series("frames.txt"),
         os.path.join(out_dir, "frame_times.png"))
    draw(plot_clock_position, series("clock.*.txt"), os.path.join(out_dir, "clock_position.png"))
    draw(plot_av_offsets, series("av.*.*.txt"), os.path.join(out_dir, "av_offsets.png"))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
