// The translation unit that builds the tests' precompiled Qt headers.
