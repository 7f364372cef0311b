# The two commands a newcomer needs: `make run` and `make test`.
.PHONY: run test fuzz bench clean

run:
	@scripts/run.sh

test:
	@scripts/test.sh

fuzz:
	@scripts/fuzz.sh $(SECONDS)

bench:
	@scripts/bench.sh

clean:
	rm -rf build build-*
