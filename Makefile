# Pixmint: `make run` builds and starts the editor, `make test` builds and runs every test,
# `make deb` makes the Debian package and checks it with lintian, `make fuzz` runs each fuzz
# target for FUZZ_TIME seconds, `make lint` checks layout, include layers, function length and
# clang-tidy.
BUILD ?= build
JOBS ?= $(shell nproc)
FUZZ_BUILD ?= build-fuzz
FUZZ_TIME ?= 60

.PHONY: deps configure build run test deb bench fuzz format lint clean

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	./$(BUILD)/pixmint

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# Errors fail the target; lintian's warnings are shown and left to the reader.
deb: build
	@scripts/install-deps --deb
	@cd $(BUILD) && cpack -G DEB >/dev/null
	@deb=$$(ls -t $(BUILD)/pixmint_*_amd64.deb | head -n1) && echo "$$deb" && \
		echo "lintian:" && lintian --fail-on error "$$deb"

bench: build
	./$(BUILD)/bench/pixmint-bench
	./$(BUILD)/bench/pixmint-formats-bench
	bench/startup.sh $(BUILD)
	bench/extract-ratio.sh $(BUILD)
	bench/iconset-ratio.sh $(BUILD)
	bench/thumbnail-ratio.sh $(BUILD)

# Each target starts from the test pictures and the damaged inputs that once failed; the picture
# targets take PNG chunk names and JPEG markers from fuzz/picture.dict, and count an input that
# takes more than 5 seconds (a picture is read within 2, sanitizers slow it) as a failure.
fuzz: deps
	@CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DPIXMINT_FUZZ=ON >/dev/null
	@cmake --build $(FUZZ_BUILD) -j $(JOBS)
	@mkdir -p $(FUZZ_BUILD)/corpus/fuzz-chunks $(FUZZ_BUILD)/corpus/fuzz-header \
		$(FUZZ_BUILD)/corpus/fuzz-icon $(FUZZ_BUILD)/corpus/fuzz-picture \
		$(FUZZ_BUILD)/corpus/fuzz-png $(FUZZ_BUILD)/corpus/fuzz-resources \
		$(FUZZ_BUILD)/corpus/fuzz-settings $(FUZZ_BUILD)/corpus/fuzz-thumbnail
	@cp tests/data/good/*.ico tests/data/good/*.bmp tests/data/damaged/* \
		$(FUZZ_BUILD)/corpus/fuzz-icon/
	@find tests/data/good -maxdepth 1 -type f ! -name '*.sh' ! -name '*.java' \
		-exec cp {} $(FUZZ_BUILD)/corpus/fuzz-picture/ \;
	@cp tests/data/damaged/* $(FUZZ_BUILD)/corpus/fuzz-picture/
	@cp tests/data/good/resources/*.dll tests/data/good/resources/*.icl tests/data/good/*.ico \
		tests/data/damaged/* $(FUZZ_BUILD)/corpus/fuzz-resources/
	@cp tests/data/good/*.bmp tests/data/good/*.gif tests/data/good/*.ico \
		$(FUZZ_BUILD)/corpus/fuzz-header/
	@cp tests/data/good/*.bmp $(FUZZ_BUILD)/corpus/fuzz-png/
	@cp tests/data/good/resources/*.dll tests/data/good/resources/*.icl tests/data/good/*.ico \
		tests/data/damaged/* $(FUZZ_BUILD)/corpus/fuzz-thumbnail/
	@cp fuzz/seeds/*.ini $(FUZZ_BUILD)/corpus/fuzz-settings/
	@cp fuzz/seeds/chunks-* $(FUZZ_BUILD)/corpus/fuzz-chunks/
	@for t in fuzz-chunks fuzz-header fuzz-icon fuzz-picture fuzz-png fuzz-resources \
		fuzz-settings fuzz-thumbnail; do \
		case $$t in fuzz-chunks|fuzz-picture) opts="-timeout=5 -dict=fuzz/picture.dict" ;; \
			*) opts=-timeout=10 ;; esac; \
		./$(FUZZ_BUILD)/fuzz/$$t -max_total_time=$(FUZZ_TIME) $$opts \
			-artifact_prefix=$(FUZZ_BUILD)/ $(FUZZ_BUILD)/corpus/$$t || exit 1; \
	done

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

# Quiet when clean; otherwise one line per finding, and every part runs. Configuring writes the
# compile commands clang-tidy reads.
lint: configure
	@scripts/lint $(BUILD) $(JOBS)

clean:
	rm -rf $(BUILD)
