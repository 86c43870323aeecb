# Stands in for the model comparison where no Python 3 was found, failing
# with the reason rather than leaving the comparison out unnoticed.
message(FATAL_ERROR "model_comparison: no Python 3 interpreter was found; install python3 and reconfigure")
