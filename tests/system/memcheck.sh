#!/bin/sh
# Runs a program under valgrind's memcheck for the system tests labelled "valgrind": any error,
# and any memory definitely lost at exit, makes valgrind print it and exit with status 1.
exec valgrind --quiet --error-exitcode=1 --leak-check=full --errors-for-leak-kinds=definite \
    --show-leak-kinds=definite "$@"
