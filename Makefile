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

# Everything the build made lives in build/ (the Wine prefix, Crypto++ and the rigs' files too).
clean:
	rm -rf build
