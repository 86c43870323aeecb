# Time per proximity test against worst position error, one labelled point
# per stored form. Run by tools/spherebench_docs (plots.py), which sets:
#   forms     "label (bytes)" bytes worst-error-in-metres ns-per-test program,
#             a line per form, program 1 for the program's own two (from
#             representations-report's record)
#   run_date  the date of the suite's run
#   output    the PNG to write
set terminal pngcairo size 1100,700 font "DejaVu Sans,12"
set output output
set title sprintf("Six stored forms of a location: cost of a nearest-airport test against precision\n(14000 random airports, CPU time per test, median; run of %s)", run_date) font ",14"
set logscale x 10
set logscale y 2
set xrange [1e-10:30]
set yrange [0.8:80]
set xtics ("1 Å" 1e-10, "1 nm" 1e-9, "10 nm" 1e-8, "0.1 µm" 1e-7, "1 µm" 1e-6, "10 µm" 1e-5, \
           "0.1 mm" 1e-4, "1 mm" 1e-3, "1 cm" 1e-2, "10 cm" 1e-1, "1 m" 1, "10 m" 10)
set ytics (1, 2, 4, 8, 16, 32, 64)
set xlabel "worst position error (bundled airports and a million random directions), log scale"
set ylabel "ns per proximity test, log scale"
set grid lc rgb "#dddddd"
set key center center box opaque
plot forms using 3:($5 == 1 ? $4 : 1/0) with points pt 7 ps 2 lc rgb "#d62728" title "the program's stored forms", \
     forms using 3:($5 == 0 ? $4 : 1/0) with points pt 5 ps 1.8 lc rgb "#1f77b4" title "other stored forms", \
     forms using 3:4:1 with labels left offset char 1.2,0.2 font ",12" notitle
