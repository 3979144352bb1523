#!/usr/bin/python3
# The peer a user would write for `veldro-cli plot column FILE.vlf 4`: the raw
# spreadsheet read with pandas, one plot per curve, saved as a PNG picture.
#   plot_column_peer.py RAW.txt OUT.png
import sys

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt
import pandas as pd

rows = pd.read_csv(sys.argv[1], sep="\t", encoding="cp1252")
figure, axes = plt.subplots(figsize=(10.39, 7.63), dpi=100)
for (profile, number), curve in rows.groupby(["Profile", "Freq. #"]):
    axes.plot(curve["Station"], curve["Q (%)"], linewidth=1.5, linestyle="-" if number == 1 else "--")
axes.set_xlabel("Station")
axes.set_ylabel("Q (%)")
figure.savefig(sys.argv[2])
