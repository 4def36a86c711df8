#!/usr/bin/env bash
# Benchmarks live here; they are never part of `make test`.
echo "No benchmark exists yet."
