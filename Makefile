# The two commands of the project: `make test` and `make demo`. Each installs what is missing.
.PHONY: test demo fuzz bench clean

test:
	bash scripts/test.sh

demo:
	bash scripts/demo.sh

fuzz:
	bash scripts/fuzz.sh

bench:
	bash scripts/bench.sh

# Everything the build made lives in build/ (the Wine prefixes, the i386 root, Crypto++ and the
# rigs' files too). A mount below build/ here would let rm reach into what is mounted there (the
# clone itself, /dev); one in another namespace means a program of the i386 root still runs.
# Either way nothing is removed.
clean:
	@pids=$$(bash scripts/root32.sh mounts "$$(pwd -P)/build"); \
	if [ -n "$$pids" ]; then \
	  echo "make clean: mounts below build/ are still in use (processes $$(echo $$pids)); build/ is left as it is" >&2; \
	  echo "  a 32-bit wineserver left by a killed run ends with: WINEPREFIX=$$(pwd -P)/build/wineprefix32 bash scripts/root32.sh run /usr/lib/wine/wineserver32 -k" >&2; \
	  exit 1; \
	fi
	rm -rf --one-file-system build
