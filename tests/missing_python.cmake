# Stands in for the tests written in Python (the model comparison, the suite
# results' reader) where no Python 3 was found, failing with the reason rather
# than leaving them out unnoticed.
message(FATAL_ERROR "no Python 3 interpreter was found; install python3 and reconfigure")
