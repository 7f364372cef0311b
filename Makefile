# The two commands a newcomer needs: `make run` and `make test`.
.PHONY: run test fuzz bench install package clean

PREFIX ?= /usr/local
# The builds the scripts run need not announce every folder they enter.
MAKEFLAGS += --no-print-directory

run:
	@scripts/run.sh

test:
	@scripts/test.sh

fuzz:
	@scripts/fuzz.sh $(SECONDS)

bench:
	@scripts/bench.sh

# Installs under PREFIX; DESTDIR stages the install elsewhere.
install:
	@DESTDIR="$(DESTDIR)" scripts/install.sh "$(PREFIX)"

# A .deb in build-package/.
package:
	@scripts/package.sh

clean:
	rm -rf build build-*
