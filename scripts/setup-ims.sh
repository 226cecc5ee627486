#!/usr/bin/env bash
# Placeholder until the order database lands: nothing to prepare yet.
exit 0
